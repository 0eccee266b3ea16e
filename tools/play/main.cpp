// tessera-play FILE...: plays WAV and MIDI files through the framework.
#include "command_line/command_line.h"
#include "tools/play/play_options.h"
#include "tools/play/player.h"

#include <cstdio>
#include <string>

namespace {

const CommandUsage USAGE{
    "tessera-play",
    "[--loop] [--volume DB] [--pan DB] FILE...",
    "WAV and MIDI files play one after the other; --loop repeats the last until\n"
    "interrupted; --volume (-100..0) sets the level of both, and --pan (-100 left..\n"
    "100 right) places WAV sound. A file that cannot be played ends it with status 1.\n",
};

} // namespace

int main(int argc, char** argv) {
    if (const int status = AnswerHelpOrVersion(argc, argv, USAGE); status >= 0) return status;
    PlayOptions options;
    std::string error;
    const ParseResult parsed = ParsePlayOptions(argc - 1, argv + 1, options, error);
    if (parsed == ParseResult::BadFile) {
        std::fprintf(stderr, "tessera-play: %s\n", error.c_str());
        return 1;
    }
    if (parsed == ParseResult::BadUsage) return UsageError(USAGE, error);
    return PlayAll(options);
}
