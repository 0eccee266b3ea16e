// The files a map tool writes, replaced as one set by the platform's
// all-or-none replacement: each is created exclusively under a temporary name
// and takes its own name only when all of them are complete and on the disk.
// Failures are reported on standard error with the name the user gave and the
// cause.
#pragma once

#include "platform/files/file_lock.h"
#include "platform/files/file_set.h"

#include <string>
#include <vector>

class OutputFiles {
  public:
    // The outputs, named as the user gave them or as made from what the user
    // gave. A set of more than one keeps its record beside the first, under
    // its name and ".journal", and is locked meanwhile through the file of
    // its name and ".lock", which goes again when the set is in place.
    explicit OutputFiles(std::vector<std::string> names);

    const std::string& Name(int output) const { return names_[output]; }

    // Checks that every output may be written and is none of the files of the
    // map `map`, which it would destroy; then settles what an earlier write of
    // the same outputs left half-way. 1 when all may be written; 0 after a
    // report.
    int Prepare(const char* map);

    // Creates the output's temporary. Its descriptor, to be closed by
    // platform::FlushAndClose once written, or -1 after a report.
    int Create(int output);

    // Reports that writing the output failed with `error` (an errno value).
    void ReportWriteError(int output, int error) const;

    // Puts every output in place when `written`; otherwise, or when that fails
    // (reported under the first output's name), leaves the old files. 1 when
    // in place.
    int Finish(bool written);

  private:
    std::vector<std::string> names_;
    platform::FileSet set_;
    platform::FileLock lock_;
};
