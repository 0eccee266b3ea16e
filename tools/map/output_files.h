// The files a map tool writes, replaced as one set by the platform's
// all-or-none replacement: each is created exclusively under a temporary name
// and takes its own name only when all of them are complete. Failures are
// reported on standard error with the name the user gave and the cause.
#pragma once

#include "platform/files/file_replacement.h"

#include <span>
#include <string>

struct OutputFile {
    std::string name; // as the user gave it, or made from what the user gave
    platform::ReplacedFile file;
};

// Checks that every output may be written and is none of the files of the map
// `map`, which it would destroy. 1 when all may be; 0 after a report.
int PrepareOutputs(std::span<OutputFile> outputs, const char* map);

// Creates the output's temporary. Its descriptor, or -1 after a report.
int CreateOutput(OutputFile& output);

// Reports that writing `output` failed with `error` (an errno value).
void ReportWriteError(const OutputFile& output, int error);

// Puts every output in place when `written`; otherwise, or when that fails
// (reported under the first output's name), removes them all and leaves the
// old files. 1 when in place.
int FinishOutputs(std::span<OutputFile> outputs, bool written);
