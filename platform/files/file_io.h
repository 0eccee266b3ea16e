// Files read and written by descriptor, a block at a time, for programs that
// stream files too large to hold. Every operation that fails leaves the cause
// in errno.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// Opens `path` for reading. -1 on failure.
int OpenForRead(const std::string& path);

// Opens `path` for reading when it is a regular file; anything else (a folder,
// a device, a pipe, which is never waited on) gives -1.
int OpenRegularForRead(const std::string& path);

// Reads up to `size` bytes into `data`, going on after interruptions. The
// count read, 0 at the end of the file, -1 on failure.
std::ptrdiff_t ReadSome(int fd, void* data, std::size_t size);

// Goes back to the start of the file. 1 on success.
int Rewind(int fd);

// Closes the descriptor. 1 on success; a failure may mean that what was
// written is lost.
int CloseFile(int fd);

// 1 when something exists at `path`, links followed.
int PathExists(const std::string& path);

// 1 when the file at `path` may be read by this process.
int MayRead(const std::string& path);

// 1 when both paths, links followed, name the same file.
int SameFile(const std::string& first, const std::string& second);

} // namespace platform
