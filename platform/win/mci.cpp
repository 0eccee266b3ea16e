// The sequencer devices behind the media-control command strings: each open
// device holds a tune read from a MIDI file and a backend player for it.
#include "platform/win/mci.h"

#include "platform/backend.h"
#include "platform/files/files.h"
#include "platform/formats/midi_file.h"
#include "platform/win/mci_words.h"
#include "platform/win/messages.h"
#include "platform/win/sequencer.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace platform {

namespace {

struct Device {
    UINT id;
    std::string name;
    std::uint32_t length;
    std::unique_ptr<backend::TunePlayer> player;
    bool playing = false;
    std::uint32_t position = 0; // where the tune stands while not playing
    // The "play ... notify" waiting for its answer.
    bool notifyPending = false;
    HWND notifyWindow = nullptr;
};

std::vector<std::unique_ptr<Device>> devices;

void Notify(HWND window, WPARAM code, UINT id) {
    if (window) PostMessage(window, MM_MCINOTIFY, code, static_cast<LPARAM>(id));
}

// Answers the pending play notification, if any, with `code`.
void Settle(Device& device, WPARAM code) {
    if (!device.notifyPending) return;
    device.notifyPending = false;
    Notify(device.notifyWindow, code, device.id);
}

// A tune that reached its end stops there and answers its notification.
void Update(Device& device) {
    if (!device.playing || device.player->Playing()) return;
    device.playing = false;
    device.position = device.length;
    Settle(device, MCI_NOTIFY_SUCCESSFUL);
}

// Halts a playing tune where it is.
void Halt(Device& device) {
    if (!device.playing) return;
    device.position = device.player->Position();
    device.player->Stop();
    device.playing = false;
}

Device* Find(const std::string& name) {
    for (auto& device : devices)
        if (SameWord(name, device->name.c_str())) return device.get();
    return nullptr;
}

// Device ids start at 1; a closed device's id is given out again.
UINT FreeId() {
    UINT id = 1;
    while (std::any_of(devices.begin(), devices.end(),
                       [&](const auto& device) { return device->id == id; }))
        ++id;
    return id;
}

DWORD Reply(const std::string& text, char* reply, UINT replyLength) {
    if (!reply || replyLength == 0) return 0;
    std::size_t kept = std::min<std::size_t>(text.size(), replyLength - 1);
    std::copy_n(text.data(), kept, reply);
    reply[kept] = '\0';
    return kept < text.size() ? MCIERR_PARAM_OVERFLOW : 0;
}

bool EndsWith(const std::string& text, const char* suffix) {
    std::string tail(suffix);
    return text.size() >= tail.size() && SameWord(text.substr(text.size() - tail.size()), suffix);
}

DWORD ReadTune(const std::string& element, std::shared_ptr<MidiSong>& song) {
    std::string path = ResolvePath(element.c_str());
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return MCIERR_FILE_NOT_FOUND;
    std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size > MIDI_FILE_LIMIT) return MCIERR_INVALID_FILE;
    std::vector<unsigned char> bytes(size);
    std::ifstream file(path, std::ios::binary);
    if (!file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size)))
        return MCIERR_FILE_NOT_FOUND;
    song = std::make_shared<MidiSong>();
    return ReadMidiFile(bytes.data(), bytes.size(), *song) ? 0 : MCIERR_INVALID_FILE;
}

// The words after the device name: keywords, some with a value, and "notify".
struct Options {
    bool notify = false;
    std::vector<std::pair<std::string, std::string>> values;
};

DWORD ReadOptions(const std::vector<std::string>& words, std::size_t from,
                  std::initializer_list<const char*> valued, Options& options) {
    for (std::size_t i = from; i < words.size(); ++i) {
        if (SameWord(words[i], "notify")) {
            options.notify = true;
            continue;
        }
        auto keyword = std::find_if(valued.begin(), valued.end(),
                                    [&](const char* k) { return SameWord(words[i], k); });
        if (keyword == valued.end()) return MCIERR_UNRECOGNIZED_KEYWORD;
        if (i + 1 >= words.size()) return MCIERR_MISSING_PARAMETER;
        options.values.emplace_back(*keyword, words[++i]);
    }
    return 0;
}

const std::string* Value(const Options& options, const char* keyword) {
    for (auto& [key, value] : options.values)
        if (SameWord(key, keyword)) return &value;
    return nullptr;
}

DWORD Open(const std::vector<std::string>& words, HWND callback, char* reply, UINT replyLength) {
    Options options;
    if (words.size() < 2) return MCIERR_MISSING_DEVICE_NAME;
    if (DWORD error = ReadOptions(words, 2, {"type", "alias"}, options)) return error;
    const std::string& element = words[1];
    const std::string* type = Value(options, "type");
    if (type ? !SameWord(*type, "sequencer")
             : !(EndsWith(element, ".mid") || EndsWith(element, ".midi") ||
                 EndsWith(element, ".rmi")))
        return type ? MCIERR_INVALID_DEVICE_NAME : MCIERR_EXTENSION_NOT_FOUND;
    const std::string* alias = Value(options, "alias");
    std::string name = alias ? *alias : element;
    if (Find(name)) return MCIERR_DUPLICATE_ALIAS;

    std::shared_ptr<MidiSong> song;
    if (DWORD error = ReadTune(element, song)) return error;
    DWORD error = 0;
    auto player = backend::OpenTune(song, &error);
    if (!player) return error;
    auto device = std::make_unique<Device>();
    device->id = FreeId();
    device->name = name;
    device->length = song->LengthMs();
    device->player = std::move(player);
    UINT id = device->id;
    devices.push_back(std::move(device));
    if (options.notify) Notify(callback, MCI_NOTIFY_SUCCESSFUL, id);
    return Reply(std::to_string(id), reply, replyLength);
}

DWORD Play(Device& device, const Options& options, HWND callback) {
    for (auto& other : devices)
        if (other.get() != &device && other->playing) return MCIERR_SEQ_PORT_INUSE;
    if (options.notify) Settle(device, MCI_NOTIFY_SUPERSEDED);
    if (!device.playing) {
        device.player->Play(device.position);
        device.playing = true;
    }
    if (options.notify) {
        device.notifyPending = true;
        device.notifyWindow = callback;
    }
    return 0;
}

DWORD Seek(Device& device, const Options& options) {
    const std::string* to = Value(options, "to");
    if (!to) return MCIERR_MISSING_PARAMETER;
    std::uint32_t position;
    if (SameWord(*to, "start")) {
        position = 0;
    } else if (SameWord(*to, "end")) {
        position = device.length;
    } else {
        if (to->empty() || to->size() > 10 ||
            !std::all_of(to->begin(), to->end(), [](char c) { return c >= '0' && c <= '9'; }))
            return MCIERR_BAD_INTEGER;
        std::uint64_t value = std::stoull(*to);
        if (value > device.length) return MCIERR_OUTOFRANGE;
        position = static_cast<std::uint32_t>(value);
    }
    Settle(device, MCI_NOTIFY_ABORTED);
    Halt(device);
    device.position = position;
    return 0;
}

DWORD Status(Device& device, const Options& options, char* reply, UINT replyLength) {
    if (options.values.size() != 1) return MCIERR_MISSING_PARAMETER;
    const std::string& item = options.values[0].first;
    if (SameWord(item, "mode"))
        return Reply(device.playing ? "playing" : "stopped", reply, replyLength);
    if (SameWord(item, "length")) return Reply(std::to_string(device.length), reply, replyLength);
    std::uint32_t position = device.playing ? device.player->Position() : device.position;
    return Reply(std::to_string(position), reply, replyLength);
}

void Close(Device& device) {
    Settle(device, MCI_NOTIFY_ABORTED);
    Halt(device);
    devices.erase(std::find_if(devices.begin(), devices.end(),
                               [&](const auto& held) { return held.get() == &device; }));
}

DWORD Command(const std::vector<std::string>& words, HWND callback, char* reply, UINT replyLength) {
    const std::string& verb = words[0];
    if (SameWord(verb, "open")) return Open(words, callback, reply, replyLength);
    bool play = SameWord(verb, "play"), seek = SameWord(verb, "seek");
    bool stop = SameWord(verb, "stop"), close = SameWord(verb, "close");
    bool status = SameWord(verb, "status");
    if (!(play || seek || stop || close || status)) return MCIERR_UNRECOGNIZED_COMMAND;
    if (words.size() < 2) return MCIERR_MISSING_DEVICE_NAME;

    Options options;
    std::initializer_list<const char*> none = {};
    if (seek) {
        if (DWORD error = ReadOptions(words, 2, {"to"}, options)) return error;
    } else if (status) {
        // The status item is a keyword without value.
        for (std::size_t i = 2; i < words.size(); ++i) {
            if (SameWord(words[i], "notify")) {
                options.notify = true;
            } else if (SameWord(words[i], "mode") || SameWord(words[i], "length") ||
                       SameWord(words[i], "position")) {
                options.values.emplace_back(words[i], "");
            } else {
                return MCIERR_UNRECOGNIZED_KEYWORD;
            }
        }
    } else if (DWORD error = ReadOptions(words, 2, none, options)) {
        return error;
    }

    if (close && SameWord(words[1], "all")) {
        while (!devices.empty()) Close(*devices.front());
        if (options.notify) Notify(callback, MCI_NOTIFY_SUCCESSFUL, 0);
        return 0;
    }
    Device* device = Find(words[1]);
    if (!device) return MCIERR_INVALID_DEVICE_NAME;
    UINT id = device->id;
    DWORD error = 0;
    if (play) {
        // Its own notification is the play's answer, sent at the tune's end.
        return Play(*device, options, callback);
    } else if (seek) {
        error = Seek(*device, options);
    } else if (stop) {
        Settle(*device, MCI_NOTIFY_ABORTED);
        Halt(*device);
    } else if (close) {
        Close(*device);
    } else {
        error = Status(*device, options, reply, replyLength);
    }
    if (!error && options.notify) Notify(callback, MCI_NOTIFY_SUCCESSFUL, id);
    return error;
}

} // namespace

void PollSequencers() {
    for (auto& device : devices) Update(*device);
}

DWORD mciSendStringA(const char* command, char* reply, UINT replyLength, HWND callback) {
    if (reply && replyLength > 0) reply[0] = '\0';
    if (!command) return MCIERR_MISSING_COMMAND_STRING;
    backend::LogMciCommand(command);
    PollSequencers();
    std::vector<std::string> words;
    if (DWORD error = SplitCommand(command, words)) return error;
    if (words.empty()) return MCIERR_MISSING_COMMAND_STRING;
    return Command(words, callback, reply, replyLength);
}

} // namespace platform
