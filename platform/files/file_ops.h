// The system's file operations that a set's replacement (file_set.cpp) and the
// locks are built from, one step each. They are the part of that work that
// differs between systems: file_ops_posix.cpp gives them on POSIX systems.
// Every operation that fails returns 0, or -1 for a descriptor, with the cause
// in errno.
#pragma once

#include "platform/files/file_io.h"

#include <string>
#include <vector>

namespace platform::file_ops {

// What is at a path.
struct Facts {
    bool exists = false;
    bool regular = false;
    bool folder = false;
    bool own = false;   // this user's own file
    unsigned links = 0; // names the file has
    FileIdentity identity;
};

// What is at `path`, links not followed (followed with `follow`). 1 also when
// nothing is there (facts.exists false); 0 when it cannot be told.
int Inspect(const std::string& path, Facts& facts, bool follow = false);
int InspectOpen(int fd, Facts& facts);

// Follows symbolic links from `name` to the name that a write through it would
// create or change, which need not exist. 0 for a loop or an unreadable link.
int FollowLinks(const std::string& name, std::string& path);

// 1 when a plain write would be let into the file at `path`.
int MayWrite(const std::string& path);

// Creates a new file at `path`, failing when anything is there (a link too),
// for writing. It gets the owner (as far as the user may give it), group,
// permissions, access list and extended attributes of the file `like` from
// the start, so that at no moment may anyone open it whom `like` keeps out;
// without `like` (empty or missing) it gets what a plain new file gets. Its
// descriptor, or -1.
int CreateLike(const std::string& path, const std::string& like);

// Opens the existing regular file at `path` (not a link) for writing in place.
int OpenForWriteInPlace(const std::string& path);

// Writes data[0..size) at `offset` of the file.
int WriteAt(int fd, long long offset, const void* data, std::size_t size);

// Makes the file `to` a copy of the bytes of `from`, from the start, and
// flushes it to the disk.
int CopyContents(int from, int to);

// Writes the file's bytes and attributes out to the disk.
int Flush(int fd);

// Writes the folder's names out to the disk, so that files created, renamed
// or removed in it stay so across a crash. "" is the current folder.
int FlushFolder(const std::string& folder);

// Gives the file `from` the name `to` in the same folder, replacing whatever
// file had it, in one step.
int Rename(const std::string& from, const std::string& to);

// Gives the file `existing` a second name `name`; fails when `name` is taken.
int Link(const std::string& existing, const std::string& name);

// Removes the name `path`.
int Remove(const std::string& path);

// The names in the folder `folder` ("" is the current one).
int ListFolder(const std::string& folder, std::vector<std::string>& names);

// This process's number, and whether the process of a number has ended.
long ProcessId();
int ProcessEnded(long id);

} // namespace platform::file_ops
