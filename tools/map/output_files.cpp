#include "tools/map/output_files.h"

#include "map/map_files.h"
#include "platform/files/file_io.h"
#include "tools/map/map_usage.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

constexpr int LOCK_WAIT_MS = 10000; // longer than the largest export takes

} // namespace

OutputFiles::OutputFiles(std::vector<std::string> names)
    : names_(std::move(names)), set_(names_, names_.front() + ".journal") {}

int OutputFiles::Prepare(const char* map) {
    int refused;
    if (!set_.CheckWritable(refused)) {
        ReportWriteError(refused, errno);
        return 0;
    }
    for (std::size_t i = 0; i < names_.size(); ++i)
        if (tessera::IsMapFile(map, set_.Path(static_cast<int>(i)))) {
            std::fprintf(stderr, "tessera-map: %s: is a file of the map %s; give another name\n",
                         Printable(names_[i]).c_str(), Printable(map).c_str());
            return 0;
        }
    const std::string lock = names_.front() + ".lock";
    if (names_.size() > 1 &&
        !lock_.Take(lock, platform::LockKind::Exclusive, LOCK_WAIT_MS, names_.front().c_str())) {
        const int error = errno;
        if (error == EWOULDBLOCK)
            std::fprintf(stderr, "tessera-map: %s: held by %s\n", Printable(lock).c_str(),
                         lock_.Holder() ? ("process " + std::to_string(lock_.Holder())).c_str()
                                        : "another program");
        else if (error == ENOENT || (error == EACCES && !platform::PathExists(lock)))
            ReportWriteError(0, error); // the folder takes no new file: nor would it the output
        else
            std::fprintf(stderr, "tessera-map: %s: cannot lock (%s)\n", Printable(lock).c_str(),
                         std::strerror(error));
        return 0;
    }
    if (set_.Settle()) return 1;
    std::fprintf(stderr, "tessera-map: %s: cannot settle (%s)\n", Printable(set_.Record()).c_str(),
                 std::strerror(errno));
    return 0;
}

int OutputFiles::Create(int output) {
    const int fd = set_.Create(output);
    if (fd < 0) ReportWriteError(output, errno);
    return fd;
}

void OutputFiles::ReportWriteError(int output, int error) const {
    std::fprintf(stderr, "tessera-map: %s: cannot write (%s)\n", Printable(names_[output]).c_str(),
                 std::strerror(error));
}

int OutputFiles::Finish(bool written) {
    const int placed = written && set_.Replace();
    if (written && !placed) ReportWriteError(0, errno); // the name the user gave
    if (names_.size() > 1) lock_.ReleaseAndRemove();
    return placed;
}
