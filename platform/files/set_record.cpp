#include "platform/files/set_record.h"

#include <charconv>
#include <cstdint>

namespace platform {

namespace {

constexpr std::string_view HEADER = "tessera file set 1\nstate ";
constexpr std::string_view FORWARD = "forward";
static_assert(HEADER.size() == RECORD_STATE_OFFSET && FORWARD.size() == RECORD_UNDOING.size());
constexpr std::string_view KIND_NAMES[] = {"none", "link", "moved", "copy"};
constexpr std::string_view END = "end ";
constexpr char HEX[] = "0123456789abcdef";

// FNV-1a, 64 bits.
std::uint64_t Check(std::string_view text) {
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (const char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
    return hash;
}

std::string CheckText(std::string_view body) {
    const std::uint64_t check = Check(body);
    std::string text;
    for (int shift = 60; shift >= 0; shift -= 4) text += HEX[check >> shift & 15];
    return text;
}

// A name is written with every byte that could end a field or a line, and '%'
// and '-', as %XX, so that any name fits on the line; "-" is no name.
void AppendName(std::string& out, const std::string& name) {
    out += ' ';
    if (name.empty()) out += '-';
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= ' ' || byte == '%' || byte == '-' || byte >= 0x7f) {
            out += '%';
            out += HEX[byte >> 4];
            out += HEX[byte & 15];
        } else {
            out += c;
        }
    }
}

void AppendNumber(std::string& out, std::uint64_t value) {
    out += ' ';
    out += std::to_string(value);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Takes the next field of `line`: the text up to a space or the line's end.
std::string_view Field(std::string_view& line) {
    const std::size_t space = line.find(' ');
    const std::string_view field = line.substr(0, space);
    line.remove_prefix(space == std::string_view::npos ? line.size() : space + 1);
    return field;
}

int ParseName(std::string_view field, std::string& name) {
    name.clear();
    if (field == "-") return 1;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '%') {
            name += field[i];
            continue;
        }
        if (field.size() - i < 3) return 0;
        const int high = HexValue(field[i + 1]), low = HexValue(field[i + 2]);
        if (high < 0 || low < 0) return 0;
        name += static_cast<char>(high << 4 | low);
        i += 2;
    }
    return !name.empty();
}

int ParseNumber(std::string_view field, std::uint64_t& value) {
    const char* const end = field.data() + field.size();
    const auto [stop, error] = std::from_chars(field.data(), end, value);
    return !field.empty() && error == std::errc() && stop == end;
}

int ParseKind(std::string_view field, SpareKind& kind) {
    for (std::size_t i = 0; i < std::size(KIND_NAMES); ++i)
        if (field == KIND_NAMES[i]) {
            kind = static_cast<SpareKind>(i);
            return 1;
        }
    return 0;
}

int ParseEntry(std::string_view line, RecordEntry& entry) {
    return Field(line) == "file" && ParseName(Field(line), entry.target) && !entry.target.empty() &&
           ParseNumber(Field(line), entry.folder.volume) &&
           ParseNumber(Field(line), entry.folder.file) && ParseKind(Field(line), entry.kind) &&
           ParseName(Field(line), entry.temporary) && !entry.temporary.empty() &&
           ParseName(Field(line), entry.spare) &&
           entry.spare.empty() == (entry.kind == SpareKind::None) &&
           ParseNumber(Field(line), entry.old.volume) && ParseNumber(Field(line), entry.old.file) &&
           ParseNumber(Field(line), entry.made.volume) &&
           ParseNumber(Field(line), entry.made.file) && line.empty();
}

} // namespace

std::string EncodeRecord(const SetRecord& record) {
    std::string body;
    for (const RecordEntry& entry : record.entries) {
        body += "file";
        AppendName(body, entry.target);
        AppendNumber(body, entry.folder.volume);
        AppendNumber(body, entry.folder.file);
        body += ' ';
        body += KIND_NAMES[static_cast<int>(entry.kind)];
        AppendName(body, entry.temporary);
        AppendName(body, entry.spare);
        AppendNumber(body, entry.old.volume);
        AppendNumber(body, entry.old.file);
        AppendNumber(body, entry.made.volume);
        AppendNumber(body, entry.made.file);
        body += '\n';
    }
    std::string text(HEADER);
    text += record.undoing ? RECORD_UNDOING : FORWARD;
    text += '\n';
    return text + body + std::string(END) + CheckText(body) + '\n';
}

int DecodeRecord(std::string_view text, SetRecord& record) {
    record = {};
    if (!text.starts_with(HEADER)) return 0;
    text.remove_prefix(HEADER.size());
    const std::string_view state = text.substr(0, FORWARD.size());
    if (state != FORWARD && state != RECORD_UNDOING) return 0;
    record.undoing = state == RECORD_UNDOING;
    text.remove_prefix(state.size());
    if (!text.starts_with('\n')) return 0;
    text.remove_prefix(1);
    // The body runs up to the last line, which checks it.
    const std::size_t end = text.rfind(END);
    if (end == std::string_view::npos || (end > 0 && text[end - 1] != '\n')) return 0;
    const std::string_view body = text.substr(0, end);
    if (text.substr(end + END.size()) != CheckText(body) + '\n') return 0;
    for (std::string_view rest = body; !rest.empty();) {
        const std::size_t newline = rest.find('\n');
        RecordEntry entry;
        if (!ParseEntry(rest.substr(0, newline), entry)) return 0;
        record.entries.push_back(std::move(entry));
        rest.remove_prefix(newline + 1);
    }
    return !record.entries.empty();
}

} // namespace platform
