// Folders of this user's alone under the system's temporary folder, for files
// that one program hands to another and no one else may read or change.
#pragma once

#include <string>

namespace platform {

// The system's temporary folder: TMPDIR, or /tmp when it is not set.
std::string TemporaryFolder();

// Makes a new, empty folder readable and writable by this user only, under
// TMPDIR (or /tmp when it is not set), named `prefix` and six random
// characters. Its path, or "" with the cause in errno.
std::string MakePrivateFolder(const char* prefix);

// Whether `folder` is a real folder (not a link), this user's, closed to
// everyone else: one whose files nobody else can read, plant or replace.
bool IsPrivateFolder(const std::string& folder);

// Makes `folder`, and the folders above it that are missing, for this user
// alone (mode 0700). 1 when it is then a private folder; 0 with errno
// (EPERM: it is there but not private).
int MakeOwnFolder(const std::string& folder);

// Removes the folder and everything in it; links in it are removed, not
// followed. 1 when nothing is left of it (also when it was already gone).
int RemoveFolder(const std::string& path);

} // namespace platform
