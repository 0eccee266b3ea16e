// tessera-play FILE...: plays WAV and MIDI files through the framework.
#include "tools/play/play_options.h"
#include "tools/play/player.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    PlayOptions options;
    std::string error;
    const ParseResult parsed = ParsePlayOptions(argc - 1, argv + 1, options, error);
    if (parsed == ParseResult::BadFile) {
        std::fprintf(stderr, "tessera-play: %s\n", error.c_str());
        return 1;
    }
    if (parsed == ParseResult::BadUsage) {
        std::fprintf(stderr,
                     "tessera-play: %s\n"
                     "usage: tessera-play [--loop] [--volume DB] [--pan DB] FILE...\n"
                     "  WAV and MIDI files play one after the other; --loop repeats the last\n"
                     "  until interrupted; --volume (-100..0) sets the level of both, and\n"
                     "  --pan (-100 left..100 right) places WAV sound.\n",
                     error.c_str());
        return 1;
    }
    return PlayAll(options);
}
