// The command line of tessera-play: the files to play and how to play them.
#pragma once

#include <string>
#include <vector>

enum class SoundKind { Wave, Midi };

struct PlayFile {
    std::string path;
    SoundKind kind;
};

struct PlayOptions {
    std::vector<PlayFile> files;
    bool loop = false; // the last file plays over and over until interrupted
    int volumeDb = 0;  // 0 is full volume, down to -100; WAV and MIDI alike
    int panDb = 0;     // attenuation of the opposite side: -100 left .. 100 right
};

enum class ParseResult { Ready, BadFile, BadUsage };

// Reads the arguments and looks at each file's first bytes. On a mistake,
// `error` tells what is wrong.
ParseResult ParsePlayOptions(int argc, char** argv, PlayOptions& options, std::string& error);
