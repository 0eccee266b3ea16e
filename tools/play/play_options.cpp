// Parses tessera-play's arguments and recognises WAV and MIDI files by content.
#include "tools/play/play_options.h"

#include "command_line/command_line.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

bool ParseDecibels(const char* text, int lowest, int highest, int& value) {
    const char* end = text + std::strlen(text);
    if (*text == '+') ++text;
    auto [stop, failure] = std::from_chars(text, end, value);
    return failure == std::errc() && stop == end && value >= lowest && value <= highest;
}

// WAV files start "RIFF....WAVE", standard MIDI files "MThd".
bool Recognise(const std::string& path, SoundKind& kind, std::string& error) {
    std::error_code failure;
    const std::filesystem::file_status status = std::filesystem::status(path, failure);
    if (failure) {
        error = path + ": cannot read it (" + failure.message() + ")";
        return false;
    }
    if (std::filesystem::is_directory(status)) {
        error = path + ": is a folder, not a WAV or MIDI file";
        return false;
    }
    if (!std::filesystem::is_regular_file(status)) {
        error = path + ": is not a regular file";
        return false;
    }
    errno = 0;
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = path + ": cannot read it (" + std::strerror(errno) + ")";
        return false;
    }
    char head[12] = {};
    file.read(head, sizeof head);
    if (file.gcount() >= 12 && std::memcmp(head, "RIFF", 4) == 0 &&
        std::memcmp(head + 8, "WAVE", 4) == 0) {
        kind = SoundKind::Wave;
        return true;
    }
    if (file.gcount() >= 4 && std::memcmp(head, "MThd", 4) == 0) {
        kind = SoundKind::Midi;
        return true;
    }
    error = path + ": not a WAV or MIDI file";
    return false;
}

} // namespace

ParseResult ParsePlayOptions(int argc, char** argv, PlayOptions& options, std::string& error) {
    for (int i = 0; i < argc; ++i) {
        const char* argument = argv[i];
        bool volume = std::strcmp(argument, "--volume") == 0;
        if (volume || std::strcmp(argument, "--pan") == 0) {
            if (i + 1 == argc) {
                error = std::string(argument) + " needs a value in decibels";
                return ParseResult::BadUsage;
            }
            const char* value = argv[++i];
            bool good = volume ? ParseDecibels(value, -100, 0, options.volumeDb)
                               : ParseDecibels(value, -100, 100, options.panDb);
            if (!good) {
                error = std::string(argument) + " " + value +
                        (volume ? ": give whole decibels from -100 to 0"
                                : ": give whole decibels from -100 (left) to 100 (right)");
                return ParseResult::BadUsage;
            }
        } else if (std::strcmp(argument, "--loop") == 0) {
            options.loop = true;
        } else if (IsOption(argument)) {
            error = std::string("unknown option \"") + argument + "\"";
            return ParseResult::BadUsage;
        } else {
            PlayFile file{argument, SoundKind::Wave};
            if (!Recognise(file.path, file.kind, error)) return ParseResult::BadFile;
            options.files.push_back(file);
        }
    }
    if (options.files.empty()) {
        error = "no file to play";
        return ParseResult::BadUsage;
    }
    return ParseResult::Ready;
}
