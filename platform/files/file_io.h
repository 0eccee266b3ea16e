// Files read and written by descriptor, a block at a time, for programs that
// stream files too large to hold. Every operation that fails leaves the cause
// in errno.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// What a file is, as far as the system tells without reading it: which file
// (its volume and its number there), its size, and the times its bytes and
// anything about it (bytes, names, owner, mode) last changed, in nanoseconds.
// Equal identities mean a file that nothing has changed since.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t file = 0;
    std::uint64_t size = 0;
    std::int64_t modified = 0;
    std::int64_t changed = 0;
    bool operator==(const FileIdentity&) const = default;
};

// 1 when both are the same file, whatever has changed in it.
inline int SameFile(const FileIdentity& one, const FileIdentity& two) {
    return one.volume == two.volume && one.file == two.file;
}

// The identity of what is at `path`, links followed; 0 when nothing is there.
int IdentifyFile(const std::string& path, FileIdentity& identity);

// The identity of an open file. 1 on success.
int IdentifyOpenFile(int fd, FileIdentity& identity);

// Opens `path` for reading. -1 on failure.
int OpenForRead(const std::string& path);

// Opens `path` for reading when it is a regular file; anything else (a folder,
// a device, a pipe, which is never waited on) gives -1.
int OpenRegularForRead(const std::string& path);

// Reads up to `size` bytes into `data`, going on after interruptions. The
// count read, 0 at the end of the file, -1 on failure.
std::ptrdiff_t ReadSome(int fd, void* data, std::size_t size);

// Writes all of data[0..size) to the descriptor. 1 on success.
int WriteAll(int fd, const void* data, std::size_t size);

// Goes back to the start of the file. 1 on success.
int Rewind(int fd);

// Closes the descriptor. 1 on success; a failure may mean that what was
// written is lost.
int CloseFile(int fd);

// Writes what was written to the descriptor out to the disk, then closes it:
// 1 when it is there to stay, so that a crash of the machine loses none of it.
int FlushAndClose(int fd);

// 1 when something exists at `path`, links followed.
int PathExists(const std::string& path);

// 1 when a regular file is at `path`, links followed.
int IsRegularFile(const std::string& path);

// 1 when the file at `path` may be read by this process.
int MayRead(const std::string& path);

// 1 when both paths, links followed, name the same file.
int SameFile(const std::string& first, const std::string& second);

} // namespace platform
