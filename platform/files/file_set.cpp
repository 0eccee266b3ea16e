// The replacement of a set of files, its record and its settling, on the
// system's file operations (file_ops.h).
#include "platform/files/file_set.h"

#include "platform/files/file_ops.h"
#include "platform/files/interruptions.h"
#include "platform/files/set_record.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <set>
#include <vector>

namespace platform {

namespace ops = file_ops;

namespace {

constexpr int NAME_ATTEMPTS = 100;            // temporary names tried per file
constexpr std::size_t RECORD_LIMIT = 1 << 16; // larger than any record of ours
constexpr int READING_ATTEMPTS = 3;           // a record settled meanwhile is read again

// Where the last name of a path starts: after its last separator ('/', and
// '\\' as well on Windows).
std::size_t NameStart(const std::string& path) {
#ifdef _WIN32
    const std::size_t separator = path.find_last_of("/\\");
#else
    const std::size_t separator = path.rfind('/');
#endif
    return separator == std::string::npos ? 0 : separator + 1;
}

std::string FolderOf(const std::string& path) { return path.substr(0, NameStart(path)); }

std::string BaseOf(const std::string& path) { return path.substr(NameStart(path)); }

// The temporaries and spares of a file are named ".~", twelve hexadecimal
// digits of a hash of the file's name, "-", the process's number, "-" and a
// number: short, so that a name that fits in a folder never makes one that
// does not, and each file's own.
std::string TemporaryPrefix(const std::string& base) {
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (const char c : base) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
    std::string prefix = ".~";
    for (int shift = 60; shift >= 16; shift -= 4) prefix += "0123456789abcdef"[hash >> shift & 15];
    return prefix + "-";
}

// 1 when `name` is one of the temporary names of the file with `prefix`,
// with `process` set to the number of the process that made it.
int IsTemporaryName(const std::string& name, const std::string& prefix, long& process) {
    if (name.compare(0, prefix.size(), prefix) != 0) return 0;
    std::size_t at = prefix.size();
    const auto number = [&](long long& value) {
        const std::size_t start = at;
        value = 0;
        while (at < name.size() && name[at] >= '0' && name[at] <= '9' && at - start < 10)
            value = value * 10 + (name[at++] - '0');
        return at > start;
    };
    long long pid = 0, attempt = 0;
    if (!number(pid) || at >= name.size() || name[at++] != '-' || !number(attempt) ||
        at != name.size() || pid <= 0 || pid > INT_MAX)
        return 0;
    process = static_cast<long>(pid);
    return 1;
}

// Reads the record at `path`: 1 with `record` when a whole one is there. 0
// with `present` false when there is none; with `present` true and errno 0
// when only a part of one (a replacement stopped before its commit), or errno
// set when it cannot be read.
int LoadRecord(const std::string& path, SetRecord& record, bool& present) {
    ops::Facts facts;
    present = false;
    if (!ops::Inspect(path, facts)) return 0;
    if (!facts.exists) {
        errno = 0;
        return 0;
    }
    present = true;
    if (!facts.regular) {
        errno = ENOTRECOVERABLE;
        return 0;
    }
    const int fd = OpenRegularForRead(path);
    if (fd < 0) return 0;
    std::string text(RECORD_LIMIT + 1, '\0');
    std::size_t held = 0;
    std::ptrdiff_t n = 0;
    while (held < text.size() && (n = ReadSome(fd, text.data() + held, text.size() - held)) > 0)
        held += static_cast<std::size_t>(n);
    const int error = n < 0 ? errno : 0;
    CloseFile(fd);
    text.resize(held);
    errno = error;
    return !error && DecodeRecord(text, record);
}

// Flushes each folder once.
int FlushFolders(const std::set<std::string>& folders) {
    for (const std::string& folder : folders)
        if (!ops::FlushFolder(folder)) return 0;
    return 1;
}

// Removes `path` when it is still the file `identity`.
void RemoveIfSame(const std::string& path, const FileIdentity& identity) {
    ops::Facts facts;
    if (ops::Inspect(path, facts) && facts.exists && SameFile(facts.identity, identity))
        ops::Remove(path);
}

// Makes the file at `to` a copy of the file at `from`, in place, flushed.
int CopyInPlace(const std::string& from, const std::string& to) {
    const int in = OpenRegularForRead(from);
    if (in < 0) return 0;
    const int out = ops::OpenForWriteInPlace(to);
    const int copied = out >= 0 && ops::CopyContents(in, out);
    const int error = errno;
    CloseFile(in);
    if (out >= 0 && !CloseFile(out)) return 0;
    errno = error;
    return copied;
}

} // namespace

struct FileSet::Member {
    std::string path, folder, base;
    FileIdentity folderIdentity;
    std::string temporary; // the new file, once created
    FileIdentity made;
    bool placed = false; // put in place by this process

    // A name for a temporary or spare of this process's, beside the file.
    std::string OwnName(int attempt) const {
        return folder + TemporaryPrefix(base) + std::to_string(ops::ProcessId()) + "-" +
               std::to_string(attempt);
    }
};

// Where the files of one entry of a record lie.
struct Placement {
    const RecordEntry* entry;
    std::string target, temporary, spare;
};

struct FileSet::State {
    std::vector<Member> members;
    std::string record;
    int error = 0;
    int unfound = 0; // the name Found failed on

    // The folders of the files, and of the record too.
    std::set<std::string> Folders(bool withRecord) const {
        std::set<std::string> folders;
        for (const Member& member : members) folders.insert(member.folder);
        if (withRecord) folders.insert(FolderOf(record));
        return folders;
    }

    // Where each entry of a record of this set lies: the same name in the same
    // folder as one of the set's files, temporaries and spares named as this
    // set names them. 0 with ENOTRECOVERABLE for a record of another set.
    int Place(const SetRecord& set, std::vector<Placement>& places) const {
        places.clear();
        std::vector<bool> taken(members.size());
        for (const RecordEntry& entry : set.entries) {
            long process;
            std::size_t i = 0;
            for (; i < members.size(); ++i) {
                const Member& member = members[i];
                const std::string prefix = TemporaryPrefix(member.base);
                if (!taken[i] && entry.target == member.base &&
                    SameFile(entry.folder, member.folderIdentity) &&
                    IsTemporaryName(entry.temporary, prefix, process) &&
                    (entry.spare.empty() || IsTemporaryName(entry.spare, prefix, process)))
                    break;
            }
            if (i == members.size()) {
                errno = ENOTRECOVERABLE;
                return 0;
            }
            taken[i] = true;
            const std::string& folder = members[i].folder;
            places.push_back({&entry, members[i].path, folder + entry.temporary,
                              entry.spare.empty() ? "" : folder + entry.spare});
        }
        if (places.size() == members.size()) return 1;
        errno = ENOTRECOVERABLE;
        return 0;
    }

    // Once the set is whole again, old or new: the record goes, on the disk,
    // then the spares and the temporaries left.
    int Finish(const std::vector<Placement>& places) const {
        if (!ops::Remove(record) && errno != ENOENT) return 0;
        if (!ops::FlushFolder(FolderOf(record))) return 0;
        for (const Placement& place : places) {
            if (!place.spare.empty()) ops::Remove(place.spare);
            RemoveIfSame(place.temporary, place.entry->made);
        }
        return 1;
    }

    // Completes a committed replacement: every new file that is not yet in
    // place takes its place.
    int Complete(const std::vector<Placement>& places) const {
        std::vector<bool> waiting(places.size());
        bool whole = true, begun = false;
        for (std::size_t i = 0; i < places.size(); ++i) {
            const RecordEntry& entry = *places[i].entry;
            ops::Facts temporary, target;
            if (!ops::Inspect(places[i].temporary, temporary) ||
                !ops::Inspect(places[i].target, target))
                return 0;
            waiting[i] = temporary.exists && SameFile(temporary.identity, entry.made);
            const bool placed = entry.kind != SpareKind::Copy && target.exists &&
                                SameFile(target.identity, entry.made);
            whole = whole && (waiting[i] || placed);
            begun = begun || placed;
        }
        if (!whole) {
            // New files missing with none in place: the record reached the disk
            // before their names did, and the replacement never began.
            if (begun) {
                errno = ENOTRECOVERABLE;
                return 0;
            }
            return Finish(places);
        }
        for (std::size_t i = 0; i < places.size(); ++i) {
            if (!waiting[i]) continue;
            const Placement& place = places[i];
            if (!(place.entry->kind == SpareKind::Copy
                      ? CopyInPlace(place.temporary, place.target)
                      : ops::Rename(place.temporary, place.target)))
                return 0;
        }
        return FlushFolders(Folders(false)) && Finish(places);
    }

    // Puts every old file back, and takes away the new ones that had no old.
    int TakeBack(const std::vector<Placement>& places) const {
        for (const Placement& place : places) {
            const RecordEntry& entry = *place.entry;
            ops::Facts target, spare;
            if (!ops::Inspect(place.target, target) ||
                (!place.spare.empty() && !ops::Inspect(place.spare, spare)))
                return 0;
            const bool newInPlace = target.exists && SameFile(target.identity, entry.made);
            const bool oldInPlace = target.exists && SameFile(target.identity, entry.old);
            const bool oldAside = spare.exists && SameFile(spare.identity, entry.old);
            switch (entry.kind) {
            case SpareKind::None:
                if (newInPlace && !ops::Remove(place.target)) return 0;
                break;
            case SpareKind::Link:
            case SpareKind::Moved:
                if (oldInPlace) break;
                if (!oldAside) {
                    errno = ENOTRECOVERABLE;
                    return 0;
                }
                if (!ops::Rename(place.spare, place.target)) return 0;
                break;
            case SpareKind::Copy:
                if (!spare.exists) {
                    errno = ENOTRECOVERABLE;
                    return 0;
                }
                if (!CopyInPlace(place.spare, place.target)) return 0;
                break;
            }
        }
        return FlushFolders(Folders(false)) && Finish(places);
    }

    // Removes the temporaries and spares that processes no longer running
    // left beside the files: regular files of this user's, named as ours.
    void SweepStale() const {
        for (const std::string& folder : Folders(false)) {
            std::vector<std::string> names;
            if (!ops::ListFolder(folder, names)) continue;
            for (const std::string& name : names)
                for (const Member& member : members) {
                    long process;
                    ops::Facts facts;
                    if (member.folder == folder &&
                        IsTemporaryName(name, TemporaryPrefix(member.base), process) &&
                        ops::ProcessEnded(process) && ops::Inspect(folder + name, facts) &&
                        facts.regular && facts.own) {
                        ops::Remove(folder + name);
                        break;
                    }
                }
        }
    }
};

FileSet::FileSet(std::span<const std::string> names, std::string record)
    : state_(std::make_unique<State>()) {
    State& s = *state_;
    s.record = std::move(record);
    std::set<std::string> paths;
    for (const std::string& name : names) {
        Member member;
        const int before = s.error;
        if (!s.error && !ops::FollowLinks(name, member.path)) s.error = errno ? errno : ELOOP;
        // Two names of one file cannot each get a new one.
        if (!s.error && !paths.insert(member.path).second) s.error = EINVAL;
        if (!before && s.error) s.unfound = static_cast<int>(s.members.size());
        member.folder = FolderOf(member.path);
        member.base = BaseOf(member.path);
        ops::Facts folder;
        if (!s.error && ops::Inspect(member.folder.empty() ? "." : member.folder, folder, true))
            member.folderIdentity = folder.identity;
        s.members.push_back(std::move(member));
    }
}

FileSet::~FileSet() {
    for (Member& member : state_->members)
        if (!member.temporary.empty() && !member.placed) {
            RemoveIfSame(member.temporary, member.made);
            ReleaseTemporary(member.temporary);
        }
}

int FileSet::Found() const {
    errno = state_->error;
    return state_->error == 0;
}

int FileSet::Unfound() const { return state_->unfound; }

const std::string& FileSet::Path(int file) const { return state_->members[file].path; }

const std::string& FileSet::Record() const { return state_->record; }

int FileSet::CheckWritable(int& failed) const {
    failed = 0;
    if (!Found()) return 0;
    for (const Member& member : state_->members) {
        ops::Facts facts;
        if (!ops::Inspect(member.path, facts)) return 0;
        if (facts.exists) {
            // A plain write would refuse a file the user may not write, and
            // would write into a device or a pipe rather than replace it.
            if (!facts.regular) {
                errno = facts.folder ? EISDIR : EEXIST;
                return 0;
            }
            if (!ops::MayWrite(member.path)) return 0;
        }
        ++failed;
    }
    return 1;
}

int FileSet::Pending() const {
    ops::Facts facts;
    return !state_->record.empty() && ops::Inspect(state_->record, facts) && facts.exists;
}

int FileSet::Settle() {
    if (!Found()) return 0;
    const State& s = *state_;
    if (s.members.size() > 1) {
        const InterruptionsDeferred deferred;
        SetRecord record;
        bool present;
        std::vector<Placement> places;
        if (LoadRecord(s.record, record, present)) {
            if (!s.Place(record, places) ||
                !(record.undoing ? s.TakeBack(places) : s.Complete(places)))
                return 0;
        } else if (present) {
            // Only a part of a record: the replacement stopped before its commit.
            if (errno || !s.Finish(places)) return 0;
        }
    }
    s.SweepStale();
    return 1;
}

int FileSet::Create(int file) {
    if (!Found()) return -1;
    WatchInterruptions();
    Member& member = state_->members[file];
    for (int attempt = 0; attempt < NAME_ATTEMPTS; ++attempt) {
        member.temporary = member.OwnName(attempt);
        HoldTemporary(member.temporary); // before it exists, so that no interruption misses it
        const int fd = ops::CreateLike(member.temporary, member.path);
        if (fd >= 0) {
            ops::Facts facts;
            ops::InspectOpen(fd, facts);
            member.made = facts.identity;
            return fd;
        }
        const int error = errno;
        ReleaseTemporary(member.temporary);
        errno = error;
        if (error != EEXIST) break;
    }
    member.temporary.clear();
    return -1;
}

int FileSet::Replace() {
    if (!Found()) return 0;
    State& s = *state_;
    for (const Member& member : s.members)
        if (member.temporary.empty()) {
            errno = EINVAL;
            return 0;
        }
    const InterruptionsDeferred deferred;
    if (s.members.size() == 1) {
        Member& member = s.members[0];
        if (!ops::Rename(member.temporary, member.path)) return 0;
        member.placed = true;
        ReleaseTemporary(member.temporary);
        return ops::FlushFolder(member.folder);
    }

    // The old files are kept under spare names meanwhile.
    SetRecord record;
    std::vector<std::string> spares;
    const auto giveUp = [&](int recordFd) {
        const int error = errno;
        if (recordFd >= 0) {
            CloseFile(recordFd);
            ops::Remove(s.record);
        }
        for (const std::string& spare : spares) ops::Remove(spare);
        errno = error;
        return 0;
    };
    for (Member& member : s.members) {
        RecordEntry entry{
            member.base, member.folderIdentity, SpareKind::None, BaseOf(member.temporary), "", {},
            member.made};
        ops::Facts old;
        if (!ops::Inspect(member.path, old)) return giveUp(-1);
        if (old.exists) {
            entry.old = old.identity;
            int made = 0;
            for (int attempt = 0; !made && attempt < NAME_ATTEMPTS; ++attempt) {
                const std::string spare = member.OwnName(attempt);
                if (old.links > 1 || !old.own) {
                    // Other names keep the file, or another user owns it (a
                    // new file would be this user's): its new bytes will be
                    // written into it, after a copy of the old ones.
                    entry.kind = SpareKind::Copy;
                    const int fd = ops::CreateLike(spare, member.path);
                    const int in = fd >= 0 ? OpenRegularForRead(member.path) : -1;
                    made = fd >= 0 && in >= 0 && ops::CopyContents(in, fd);
                    const int error = errno;
                    if (in >= 0) CloseFile(in);
                    if (fd >= 0) {
                        CloseFile(fd);
                        if (!made) ops::Remove(spare);
                    }
                    errno = error;
                } else if (ops::Link(member.path, spare)) {
                    // Stays in place meanwhile, under a second name.
                    entry.kind = SpareKind::Link;
                    made = 1;
                } else if (errno == EEXIST) {
                    continue;
                } else {
                    // A file system without links: a placeholder keeps the
                    // name for moving the old file aside.
                    entry.kind = SpareKind::Moved;
                    const int fd = ops::CreateLike(spare, "");
                    made = fd >= 0 && CloseFile(fd);
                }
                if (made)
                    entry.spare = BaseOf(spare), spares.push_back(spare);
                else if (errno != EEXIST)
                    return giveUp(-1);
            }
            if (!made) return giveUp(-1);
        }
        record.entries.push_back(entry);
    }
    std::vector<Placement> places;
    s.Place(record, places);

    // The names of the new files and spares reach the disk before the record
    // that names them; once the record is there too, the set is committed.
    const std::string text = EncodeRecord(record);
    if (!FlushFolders(s.Folders(false))) return giveUp(-1);
    const int recordFd = ops::CreateLike(s.record, s.members[0].path);
    if (recordFd < 0) return giveUp(-1);
    if (!WriteAll(recordFd, text.data(), text.size()) || !ops::Flush(recordFd) ||
        !ops::FlushFolder(FolderOf(s.record)))
        return giveUp(recordFd);

    for (std::size_t i = 0; i < places.size(); ++i) {
        const Placement& place = places[i];
        const SpareKind kind = place.entry->kind;
        const int placed = kind == SpareKind::Copy ? CopyInPlace(place.temporary, place.target)
                                                   : (kind != SpareKind::Moved ||
                                                      ops::Rename(place.target, place.spare)) &&
                                                         ops::Rename(place.temporary, place.target);
        if (!placed) {
            // Turned back: the record says so first, so that a crash meanwhile
            // is taken back too.
            const int error = errno;
            if (ops::WriteAt(recordFd, RECORD_STATE_OFFSET, RECORD_UNDOING.data(),
                             RECORD_UNDOING.size()) &&
                ops::Flush(recordFd))
                s.TakeBack(places);
            CloseFile(recordFd);
            errno = error;
            return 0;
        }
        s.members[i].placed = kind != SpareKind::Copy;
        ReleaseTemporary(s.members[i].temporary);
    }
    const int durable = FlushFolders(s.Folders(false));
    const int error = errno;
    CloseFile(recordFd);
    if (!durable) {
        // In place, but not known to stay so: the record stays for the next
        // replacement to finish.
        errno = error;
        return 0;
    }
    s.Finish(places);
    return 1;
}

int FileSet::OpenForReading(int* fds, int& failed) const {
    const State& s = *state_;
    failed = 0;
    if (!Found()) return 0;
    for (int attempt = 0; attempt < READING_ATTEMPTS; ++attempt) {
        SetRecord record;
        bool present = false;
        std::vector<Placement> places;
        if (s.members.size() > 1 && !LoadRecord(s.record, record, present) && present && errno) {
            failed = -1;
            return 0;
        }
        const bool followed = !record.entries.empty();
        if (followed && !s.Place(record, places)) {
            failed = -1;
            return 0;
        }
        // Each file from the first of its places that holds the right file.
        struct Choice {
            const std::string* path;
            const FileIdentity* identity; // null: whatever is there
        };
        std::size_t opened = 0;
        for (; opened < s.members.size(); ++opened) {
            std::vector<Choice> choices;
            if (!followed) {
                choices = {{&s.members[opened].path, nullptr}};
            } else {
                const Placement& place = places[opened];
                const RecordEntry& entry = *place.entry;
                if (!record.undoing)
                    choices = {
                        {&place.temporary, &entry.made},
                        {&place.target, entry.kind == SpareKind::Copy ? nullptr : &entry.made}};
                else if (entry.kind == SpareKind::Copy)
                    choices = {{&place.spare, nullptr}, {&place.target, nullptr}};
                else if (entry.kind != SpareKind::None)
                    choices = {{&place.target, &entry.old}, {&place.spare, &entry.old}};
                else
                    errno = ENOENT; // the set being put back had no such file
            }
            fds[opened] = -1;
            for (const Choice& choice : choices) {
                const int fd = OpenRegularForRead(*choice.path);
                FileIdentity identity;
                if (fd >= 0 && (!choice.identity || (IdentifyOpenFile(fd, identity) &&
                                                     SameFile(identity, *choice.identity)))) {
                    fds[opened] = fd;
                    break;
                }
                if (fd >= 0) CloseFile(fd);
            }
            if (fds[opened] < 0) break;
        }
        if (opened == s.members.size()) return 1;
        const int error = errno;
        for (std::size_t i = 0; i < opened; ++i) CloseFile(fds[i]);
        failed = static_cast<int>(opened);
        errno = error;
        // Following a record, a file may have moved on meanwhile (another
        // reader settled the set): the record is read again.
        if (!followed) return 0;
    }
    errno = ENOTRECOVERABLE;
    return 0;
}

} // namespace platform
