#include "map/recovery_copy.h"

#include "map/map_files.h"
#include "platform/files/file_io.h"
#include "platform/files/file_ops.h"
#include "platform/files/file_set.h"

#include <cerrno>
#include <sstream>
#include <utility>
#include <vector>

namespace tessera {

namespace {

constexpr char RECORD_NAME[] = "recovery.txt";
constexpr char RECORD_JOURNAL[] = "recovery.journal"; // a set of one file keeps none
constexpr char RECORD_HEADER[] = "tessera recovery copy";
constexpr std::size_t RECORD_MAX = 4096;

std::string In(const std::string& folder, const std::string& name) { return folder + "/" + name; }

// The map name under which the slot's files are saved.
std::string SlotName(char slot) { return std::string("copy-") + slot; }

std::string RecordText(const RecoveryRecord& record) {
    std::ostringstream text;
    text << RECORD_HEADER << "\nname " << record.name << "\nsize " << record.width << ' '
         << record.height << "\nslot " << record.slot << "\noffered " << record.offered << '\n';
    return text.str();
}

// Replaces the record, flushed, in one step.
int WriteRecord(const std::string& folder, const RecoveryRecord& record) {
    const std::string text = RecordText(record);
    const std::string names[] = {In(folder, RECORD_NAME)};
    platform::FileSet set(names, In(folder, RECORD_JOURNAL));
    const int fd = set.Create(0);
    if (fd < 0) return 0;
    if (!platform::WriteAll(fd, text.data(), text.size())) {
        const int error = errno;
        platform::CloseFile(fd);
        errno = error;
        return 0;
    }
    return platform::FlushAndClose(fd) && set.Replace();
}

// Removes every file of the folder whose name starts with `prefix`.
int RemoveStartingWith(const std::string& folder, const std::string& prefix) {
    std::vector<std::string> names;
    if (!platform::file_ops::ListFolder(folder, names)) return errno == ENOENT;
    int removed = 1;
    for (const std::string& name : names)
        if (name.starts_with(prefix) && !platform::file_ops::Remove(In(folder, name)) &&
            errno != ENOENT)
            removed = 0;
    return removed;
}

// The files of a slot: its map's three files, lock file and journal.
int RemoveSlot(const std::string& folder, char slot) {
    return RemoveStartingWith(folder, SlotName(slot) + "_") &&
           RemoveStartingWith(folder, SlotName(slot) + ".");
}

} // namespace

int WriteRecoveryCopy(const MapLayers& map, const std::string& name, const std::string& folder) {
    RecoveryRecord previous;
    const bool hadCopy = ReadRecoveryRecord(folder, previous);
    const RecoveryRecord record{name, map.width, map.height,
                                hadCopy && previous.slot == 'a' ? 'b' : 'a', true};
    if (!SaveMap(map, In(folder, SlotName(record.slot)).c_str()) || !WriteRecord(folder, record))
        return 0;
    if (hadCopy) RemoveSlot(folder, previous.slot);
    return 1;
}

int ReadRecoveryRecord(const std::string& folder, RecoveryRecord& record) {
    const int fd = platform::OpenRegularForRead(In(folder, RECORD_NAME));
    if (fd < 0) return 0;
    std::string text(RECORD_MAX + 1, '\0');
    std::size_t size = 0;
    std::ptrdiff_t count;
    while (size < text.size() &&
           (count = platform::ReadSome(fd, text.data() + size, text.size() - size)) > 0)
        size += static_cast<std::size_t>(count);
    platform::CloseFile(fd);
    if (size > RECORD_MAX) return 0;
    text.resize(size);

    std::istringstream lines(text);
    std::string header, name, sizeWord, slot, offered;
    RecoveryRecord read;
    int offeredValue = -1;
    if (!std::getline(lines, header) || header != RECORD_HEADER || !(lines >> name >> read.name) ||
        name != "name" || MapNameFault(read.name.c_str()) ||
        read.name.find('/') != std::string::npos ||
        !(lines >> sizeWord >> read.width >> read.height) || sizeWord != "size" ||
        read.width < MAP_SIZE_MIN || read.width > MAP_SIZE_MAX || read.height < MAP_SIZE_MIN ||
        read.height > MAP_SIZE_MAX || !(lines >> slot >> read.slot) || slot != "slot" ||
        (read.slot != 'a' && read.slot != 'b') || !(lines >> offered >> offeredValue) ||
        offered != "offered" || (offeredValue != 0 && offeredValue != 1))
        return 0;
    read.offered = offeredValue == 1;
    record = std::move(read);
    return 1;
}

int ReadRecoveryCopy(const std::string& folder, const RecoveryRecord& record, MapLayers& map) {
    return LoadMap(map, In(folder, SlotName(record.slot)).c_str());
}

int SetRecoveryCopyAside(const std::string& folder) {
    RecoveryRecord record;
    if (!ReadRecoveryRecord(folder, record)) return 0;
    record.offered = false;
    return WriteRecord(folder, record);
}

int RemoveRecoveryCopy(const std::string& folder) {
    if (platform::PathExists(In(folder, RECORD_NAME)) &&
        (!platform::file_ops::Remove(In(folder, RECORD_NAME)) ||
         !platform::file_ops::FlushFolder(folder)))
        return 0;
    return RemoveSlot(folder, 'a') && RemoveSlot(folder, 'b');
}

} // namespace tessera
