// Replacing a set of files as one, as a database replaces its pages: all of
// the new files or none of them, even when the program is killed or the
// machine stops half-way.
//
// Each new file is written under a temporary name beside the file it replaces,
// created exclusively with that file's owner, group, permissions, access list
// and extended attributes from the start, and flushed to the disk. Then the
// set's record, a small file beside the set, says which new file goes where
// and where each old one is kept meanwhile; once it is on the disk, the set is
// committed. The new files take their names, the folders are flushed (a
// replacement reported done survives a crash), the record goes, then the old
// files. A file with other names (hard links) keeps them, and another user's
// file keeps its owner: its new bytes are written into it, after a flushed
// copy of the old ones.
//
// A replacement that ends half-way (the process killed, the machine stopped)
// leaves its record; the next one of the set completes it when it was
// committed, or takes it back to the old files, before anything else, and a
// reader meanwhile reads the files the record names. Replacements of a set and
// the settling of its record are the work of the holder of the set's lock,
// held exclusively; a set of one file needs neither lock nor record, since one
// rename is whole by itself.
//
// Nothing is done that a plain truncating write of the same names would refuse,
// and nothing is written through a link planted at a temporary name.
#pragma once

#include "platform/files/file_io.h"

#include <memory>
#include <span>
#include <string>

namespace platform {

class FileSet {
  public:
    // The files `names`, and the file `record` beside them that records their
    // replacement. Names are followed through symbolic links to where a write
    // of them lands; Found tells whether that could be done.
    FileSet(std::span<const std::string> names, std::string record);
    // Removes the temporaries of a set not put in place.
    ~FileSet();
    FileSet(const FileSet&) = delete;
    FileSet& operator=(const FileSet&) = delete;

    // 1 when every name was followed; 0 with errno (ELOOP: a loop of links),
    // which every operation below then gives.
    int Found() const;
    // The name Found failed on, by its place in `names`.
    int Unfound() const;
    // Where the file `file` lands: its name, links followed.
    const std::string& Path(int file) const;
    const std::string& Record() const;

    // Checks that a plain write of each file would be let in: nothing there
    // yet, or a regular file that the user may write (a folder gives EISDIR,
    // anything else that is not a file EEXIST). 1 when all may be written;
    // otherwise 0 with errno, and `failed` the file refused.
    int CheckWritable(int& failed) const;

    // 1 when a replacement of the set ended half-way and left its record.
    int Pending() const;

    // Completes the replacement the record tells of when it was committed, or
    // takes it back when it was not, and removes the temporaries that ended
    // processes left beside the files. 1 when the set is settled; otherwise 0
    // with errno (ENOTRECOVERABLE: a record this set cannot follow).
    int Settle();

    // Creates the new file `file` under a temporary name beside the old one,
    // for writing, with the attributes of the old one (a new file gets what a
    // plain write gives). Its descriptor, to be closed by FlushAndClose once
    // written; -1 on failure.
    int Create(int file);

    // Puts every new file in place: 1 when all are, and will stay so across a
    // crash; 0 with errno when none is (every old file is back). Interruptions
    // wait until it is done.
    int Replace();

    // Opens every file of the set for reading (a descriptor each, in `fds`),
    // as one whole set: the files in place, or, where a replacement ended
    // half-way, the set its record says is whole. 1 when all are open;
    // otherwise 0 with errno and `failed` the file that could not be.
    int OpenForReading(int* fds, int& failed) const;

  private:
    struct Member;
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace platform
