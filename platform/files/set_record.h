// The record a set's replacement keeps beside its files while it puts them in
// place: which new file goes where, and where each old one is kept until the
// set is settled. A few lines of text, the last one a check of the others, so
// that a record only partly written is told from a whole one. No system calls.
#pragma once

#include "platform/files/file_io.h"

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// How the old file of an entry is kept meanwhile.
enum class SpareKind {
    None,  // there was none
    Link,  // under a second name, while it stays in place
    Moved, // under the spare name, moved there just before the new one takes its place
    Copy,  // as a copy: the file has other names, so the new bytes are written into it
};

struct RecordEntry {
    std::string target;  // the file's name in its folder
    FileIdentity folder; // that folder (volume and number)
    SpareKind kind = SpareKind::None;
    std::string temporary; // the new file's name beside it
    std::string spare;     // the old file's spare name beside it; empty for none
    FileIdentity old;      // the old file (volume and number), and the new one
    FileIdentity made;
};

struct SetRecord {
    bool undoing = false; // the replacement failed and the old files are being put back
    std::vector<RecordEntry> entries;
};

std::string EncodeRecord(const SetRecord& record);

// 1 when `text` is a whole record, read into `record`.
int DecodeRecord(std::string_view text, SetRecord& record);

// Where the state lies in an encoded record, and its text when undoing: what
// is written over it, in place, when a replacement turns back.
constexpr std::size_t RECORD_STATE_OFFSET = 25;
constexpr std::string_view RECORD_UNDOING = "undoing";

} // namespace platform
