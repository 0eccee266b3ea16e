#include "platform/desktop/synth.h"

#include "platform/desktop/desktop.h"
#include "platform/sound.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace platform::desktop {

namespace {

// Debian's General MIDI font first, then whatever font the system names as its
// default, then any other installed one.
std::vector<std::string> FontCandidates() {
    std::vector<std::string> fonts = {"/usr/share/sounds/sf2/TimGM6mb.sf2",
                                      "/usr/share/sounds/sf2/default-GM.sf2",
                                      "/usr/share/soundfonts/default.sf2"};
    for (const char* folder : {"/usr/share/sounds/sf2", "/usr/share/soundfonts"}) {
        std::error_code error;
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
            std::string extension = entry.path().extension().string();
            std::transform(extension.begin(), extension.end(), extension.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            if (extension == ".sf2") found.push_back(entry.path().string());
        }
        std::sort(found.begin(), found.end());
        fonts.insert(fonts.end(), found.begin(), found.end());
    }
    return fonts;
}

// A SoundFont 2 file: a RIFF of form "sfbk". Only these are offered to the
// synthesiser, whose loaders of other kinds complain on the terminal.
bool IsSoundFont(const std::string& path) {
    char head[12] = {};
    std::ifstream(path, std::ios::binary).read(head, sizeof head);
    return std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "sfbk", 4) == 0;
}

std::vector<std::string> fontsGiven;
bool fontsChosen = false;
Synth* instance = nullptr;

} // namespace

void UseSoundFonts(std::vector<std::string> paths) {
    fontsGiven = std::move(paths);
    fontsChosen = true;
}

Synth* Synth::Get() {
    if (instance) return instance;
    auto* made = new Synth();
    if (!made->Load()) {
        delete made;
        return nullptr;
    }
    instance = made;
    SetMusicSource([](float* mix, int frames, int rate) { instance->Render(mix, frames, rate); });
    return instance;
}

bool Synth::Load() {
    // The synthesiser says nothing on the terminal.
    for (int level = FLUID_PANIC; level <= FLUID_DBG; ++level)
        fluid_set_log_function(level, nullptr, nullptr);
    settings = new_fluid_settings();
    if (!settings) return false;
    rate = 44100;
    fluid_settings_setnum(settings, "synth.sample-rate", rate);
    fluid_settings_setint(settings, "synth.lock-memory", 0);
    // The default gain leaves a lone instrument near -30 dBFS, far below the
    // sound effects; this brings it to about -20 dBFS, with room for full scores.
    fluid_settings_setnum(settings, "synth.gain", 0.6);
    synth = new_fluid_synth(settings);
    bool loaded = false;
    if (synth)
        for (const std::string& font : fontsChosen ? fontsGiven : FontCandidates())
            if (IsSoundFont(font) && fluid_synth_sfload(synth, font.c_str(), 1) != FLUID_FAILED) {
                loaded = true;
                break;
            }
    if (loaded) return true;
    if (synth) delete_fluid_synth(synth);
    delete_fluid_settings(settings);
    return false;
}

void Synth::Start(TuneCursor& tune, std::uint32_t fromMs) {
    std::lock_guard<std::mutex> hold(lock);
    if (current) current->playing = false;
    fluid_synth_system_reset(synth);
    const auto& events = tune.song->events;
    std::uint64_t from = std::uint64_t{fromMs} * 1000;
    tune.next = 0;
    for (; tune.next < events.size() && events[tune.next].time < from; ++tune.next) {
        std::uint8_t type = events[tune.next].status & 0xF0;
        if (type != 0x80 && type != 0x90 && type != 0xA0) Send(events[tune.next], *tune.song);
    }
    tune.startUs = from;
    tune.frames = 0;
    tune.positionMs = fromMs;
    tune.playing = true;
    current = &tune;
}

void Synth::Halt(TuneCursor& tune) {
    std::lock_guard<std::mutex> hold(lock);
    tune.playing = false;
    if (current != &tune) return;
    current = nullptr;
    fluid_synth_all_sounds_off(synth, -1);
}

void Synth::Send(const MidiEvent& event, const MidiSong& song) {
    int channel = event.status & 0x0F;
    switch (event.status & 0xF0) {
    case 0x80:
        fluid_synth_noteoff(synth, channel, event.data1);
        break;
    case 0x90:
        // A note-on of velocity 0 ends the note.
        fluid_synth_noteon(synth, channel, event.data1, event.data2);
        break;
    case 0xA0:
        fluid_synth_key_pressure(synth, channel, event.data1, event.data2);
        break;
    case 0xB0:
        fluid_synth_cc(synth, channel, event.data1, event.data2);
        break;
    case 0xC0:
        fluid_synth_program_change(synth, channel, event.data1);
        break;
    case 0xD0:
        fluid_synth_channel_pressure(synth, channel, event.data1);
        break;
    case 0xE0:
        fluid_synth_pitch_bend(synth, channel, event.data2 << 7 | event.data1);
        break;
    default: {
        const auto& bytes = song.sysex;
        fluid_synth_sysex(synth, reinterpret_cast<const char*>(bytes.data() + event.sysexOffset),
                          static_cast<int>(event.sysexLength), nullptr, nullptr, nullptr, 0);
        break;
    }
    }
}

// On the mixer's thread: sends each event at its frame and adds the synthesiser's
// output to `mix`. A tune whose last event has passed is over; its notes ring
// on to their natural end.
void Synth::Render(float* mix, int frames, int outputRate) {
    std::lock_guard<std::mutex> hold(lock);
    if (outputRate != rate) {
        // The output's format changed (rare): synthesise at its rate from now on.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        fluid_synth_set_sample_rate(synth, static_cast<float>(outputRate));
#pragma GCC diagnostic pop
        rate = outputRate;
        if (current) {
            current->startUs += current->frames * 1000000 / static_cast<std::uint64_t>(rate);
            current->frames = 0;
        }
    }
    for (int done = 0; done < frames;) {
        int n = std::min(kChunk, frames - done);
        if (TuneCursor* tune = current) {
            const auto& events = tune->song->events;
            auto timeAt = [&](std::uint64_t frame) {
                return tune->startUs + frame * 1000000 / static_cast<std::uint64_t>(rate);
            };
            auto frameOf = [&](std::uint64_t time) {
                return ((time - tune->startUs) * static_cast<std::uint64_t>(rate) + 999999) /
                       1000000;
            };
            std::uint64_t now = timeAt(tune->frames);
            while (tune->next < events.size() && events[tune->next].time <= now)
                Send(events[tune->next++], *tune->song);
            std::uint64_t until = tune->next < events.size() ? events[tune->next].time
                                                             : std::max(tune->song->length, now);
            if (tune->next >= events.size() && now >= tune->song->length) {
                tune->positionMs = tune->song->LengthMs();
                tune->playing = false;
                current = nullptr;
            } else {
                std::uint64_t due = frameOf(until);
                if (due > tune->frames)
                    n = static_cast<int>(std::min<std::uint64_t>(due - tune->frames, n));
                else
                    n = 1;
                tune->frames += static_cast<std::uint64_t>(n);
                tune->positionMs = static_cast<std::uint32_t>(timeAt(tune->frames) / 1000);
            }
        }
        if (!current && fluid_synth_get_active_voice_count(synth) == 0) return;
        fluid_synth_write_float(synth, n, left, 0, 1, right, 0, 1);
        for (int i = 0; i < n; ++i) {
            mix[2 * (done + i)] += left[i];
            mix[2 * (done + i) + 1] += right[i];
        }
        done += n;
    }
}

} // namespace platform::desktop
