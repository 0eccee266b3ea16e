// Replacing a set of files as a whole: each new file is created exclusively
// under a temporary name beside the old one, and the set is put in place only
// when all of it is complete; a step that fails puts every old file back.
// Nothing is done that a plain truncating write of the same names would refuse.
// Every operation that returns 0 leaves the cause in errno.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <span>
#include <string>

namespace platform {

// One file of a set being replaced.
struct ReplacedFile {
    std::string path;      // where the new file goes: the name given, links followed
    bool existed = false;  // a file was there
    struct stat old {};    // that file
    std::string temporary; // the new file while it is written
    std::string spare;     // a second name of the old file until the set is in place
    bool linked = false;   // the spare is another link; the old file stayed in place
    bool replaced = false; // the new file is in place
};

// Finds where a plain write of `name` would land and checks that it would be
// allowed there: nothing yet, or a regular file the user may write (a folder
// gives EISDIR, anything else that is not a file EEXIST). Removes the
// temporaries that replacements of it killed half-way left. 1 when it may go on.
int PrepareReplacement(const std::string& name, ReplacedFile& file);

// Creates the new file under a temporary name beside the old one, with the old
// one's permissions and, as far as the user may give them, its owner and group.
// Returns its descriptor, or -1.
int CreateReplacement(ReplacedFile& file);

// Puts every new file in place. 1 when all are; on 0 every old file is back
// and the new ones are gone. An interruption that arrives meanwhile takes
// effect once it is done.
int ReplaceFiles(std::span<ReplacedFile> files);

// Puts back every old file, and removes every new one: for a set given up
// before ReplaceFiles. Doing it twice does no more than once.
void RestoreFiles(std::span<ReplacedFile> files);

// Writes all of data[0..size) to the descriptor. 1 on success.
int WriteAll(int fd, const void* data, std::size_t size);

// For command-line tools: SIGINT, SIGTERM, SIGHUP and SIGQUIT remove the
// temporaries of replacements not yet put in place before they end the
// process; and a file size limit makes a write fail (EFBIG) instead of ending
// the process, so that the failure is reported and cleaned up like any other.
void SetUpToolSignals();

} // namespace platform
