#include "tools/map/xml_stream.h"

#include "platform/files/file_io.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr std::size_t BLOCK = 1 << 20;  // input read at a time from a file
constexpr std::size_t ENTITY_ROOM = 12; // "#x0010FFFF" and a little more

// The input, a byte at a time or as runs of the block at hand.
class Cursor {
  public:
    explicit Cursor(const XmlInput& input) : fd_(input.fd) {
        if (fd_ < 0) {
            start_ = p_ = input.text;
            end_ = input.text + input.size;
        } else {
            block_.reset(new char[BLOCK]);
            start_ = p_ = end_ = block_.get();
        }
    }

    // The next byte, or -1 at the end of the input.
    int Peek() { return p_ < end_ || Fill() ? static_cast<unsigned char>(*p_) : -1; }
    int Next() {
        const int c = Peek();
        p_ += c >= 0;
        return c;
    }
    // The bytes at hand from the next one on; empty only at the end.
    const char* Here() const { return p_; }
    std::size_t Held() { return p_ < end_ || Fill() ? static_cast<std::size_t>(end_ - p_) : 0; }
    void Advance(std::size_t count) { p_ += count; }

    long Line() const { return lines_ + std::count(start_, p_, '\n') + 1; }
    // Counts the blocks read, so that what was found in one is known to be stale.
    unsigned long Fills() const { return fills_; }
    int ReadError() const { return readError_; }

  private:
    bool Fill() {
        if (fd_ < 0 || readError_) return false;
        lines_ += std::count(start_, end_, '\n');
        ++fills_;
        const std::ptrdiff_t n = platform::ReadSome(fd_, block_.get(), BLOCK);
        if (n < 0) readError_ = errno;
        start_ = p_ = block_.get();
        end_ = p_ + std::max<std::ptrdiff_t>(n, 0);
        return n > 0;
    }

    int fd_;
    std::unique_ptr<char[]> block_;
    const char* start_;
    const char* p_;
    const char* end_;
    long lines_ = 0; // line breaks before start_
    unsigned long fills_ = 0;
    int readError_ = 0;
};

bool IsSpace(int c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; }
bool IsNameStart(int c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' || c >= 0x80;
}
bool IsNameChar(int c) { return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.'; }

// Appends code point `code` as UTF-8. False for one XML does not allow.
bool AppendUtf8(unsigned long code, std::string& out) {
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | code >> 18);
        out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
    return true;
}

class Reader {
  public:
    Reader(const XmlInput& input, XmlHandler& handler, std::string& error)
        : in_(input), handler_(handler), error_(error) {}

    XmlResult Read() {
        if (in_.Held() >= 3 && std::memcmp(in_.Here(), "\xEF\xBB\xBF", 3) == 0) in_.Advance(3);
        while (result_ == XmlResult::Read && in_.Peek() >= 0) {
            if (in_.Peek() == '<') {
                in_.Next();
                Markup();
            } else {
                Text();
            }
        }
        if (result_ == XmlResult::Read && in_.ReadError()) {
            error_ = std::strerror(in_.ReadError());
            return XmlResult::Unreadable;
        }
        if (result_ == XmlResult::Read && !open_.empty())
            Malformed("the document ends inside <" + open_.back() + ">");
        else if (result_ == XmlResult::Read && !rootSeen_)
            Malformed("the document holds no element");
        return result_;
    }

  private:
    bool Malformed(const std::string& what) {
        if (result_ == XmlResult::Read) {
            result_ = XmlResult::Malformed;
            error_ = "line " + std::to_string(in_.Line()) + ": " + what;
        }
        return false;
    }
    bool Handled(int going) {
        if (!going && result_ == XmlResult::Read) result_ = XmlResult::Stopped;
        return going;
    }
    bool Expect(char c, const char* where) {
        if (in_.Next() == c) return true;
        return Malformed(std::string("expected '") + c + "' " + where);
    }
    bool SkipSpace() {
        bool skipped = false;
        while (IsSpace(in_.Peek())) {
            in_.Next();
            skipped = true;
        }
        return skipped;
    }
    // Steps over the input up to and including `end`, a few bytes long, looking
    // for its last byte a block at a time.
    bool SkipPast(std::string_view end, const char* what) {
        const std::string_view head = end.substr(0, end.size() - 1);
        std::string before; // the bytes just before the next one, as many as `head` holds
        while (true) {
            const std::size_t held = in_.Held();
            if (held == 0) return Malformed(std::string("the document ends inside ") + what);
            const char* here = in_.Here();
            const char* found = static_cast<const char*>(std::memchr(here, end.back(), held));
            const std::size_t upto = found ? static_cast<std::size_t>(found - here) : held;
            before.append(here + (upto > head.size() ? upto - head.size() : 0), here + upto);
            if (before.size() > head.size()) before.erase(0, before.size() - head.size());
            if (found && before == head) {
                in_.Advance(upto + 1);
                return true;
            }
            if (found) {
                before += end.back();
                if (before.size() > head.size()) before.erase(0, 1);
            }
            in_.Advance(found ? upto + 1 : held);
        }
    }

    bool ReadName(std::string& name) {
        name.clear();
        if (!IsNameStart(in_.Peek())) return Malformed("expected a name");
        while (IsNameChar(in_.Peek())) {
            if (name.size() == XML_NAME_ROOM)
                return Malformed("a name longer than " + std::to_string(XML_NAME_ROOM) + " bytes");
            name += static_cast<char>(in_.Next());
        }
        return true;
    }

    // After '&': the entity's text appended to `out`.
    bool ReadEntity(std::string& out) {
        std::string entity;
        for (int c = in_.Next(); c != ';'; c = in_.Next()) {
            if (c < 0 || IsSpace(c) || c == '<' || c == '&' || entity.size() == ENTITY_ROOM)
                return Malformed("a '&' that starts no entity");
            entity += static_cast<char>(c);
        }
        static const std::pair<std::string_view, char> NAMED[] = {
            {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"apos", '\''}, {"quot", '"'}};
        for (const auto& [name, c] : NAMED)
            if (entity == name) {
                out += c;
                return true;
            }
        if (entity.size() >= 2 && entity[0] == '#') {
            const bool hex = entity[1] == 'x';
            const std::size_t first = hex ? 2 : 1;
            unsigned long code = 0;
            std::size_t i = first;
            for (; i < entity.size() && code <= 0x10FFFF; ++i) {
                const char c = entity[i];
                const int digit = c >= '0' && c <= '9'          ? c - '0'
                                  : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                                  : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                                : -1;
                if (digit < 0) break;
                code = code * (hex ? 16 : 10) + static_cast<unsigned long>(digit);
            }
            if (i == entity.size() && i > first && AppendUtf8(code, out)) return true;
            return Malformed("the character reference &" + entity + "; is not a character");
        }
        return Malformed("unknown entity &" + entity + ";");
    }

    bool ReadAttributeValue(std::string& value, bool& whole) {
        value.clear();
        whole = true;
        const int quote = in_.Next();
        if (quote != '"' && quote != '\'') return Malformed("expected a quoted attribute value");
        std::string piece;
        for (int c = in_.Next(); c != quote; c = in_.Next()) {
            if (c < 0) return Malformed("the document ends inside an attribute value");
            if (c == '<') return Malformed("a '<' inside an attribute value");
            piece.clear();
            if (c == '&') {
                if (!ReadEntity(piece)) return false;
            } else {
                piece += IsSpace(c) ? ' ' : static_cast<char>(c);
            }
            if (value.size() + piece.size() <= XML_VALUE_ROOM)
                value += piece;
            else
                whole = false;
        }
        return true;
    }

    // After '<' and a name start.
    bool StartTag() {
        std::string name;
        if (!ReadName(name)) return false;
        if (open_.empty() && rootSeen_) return Malformed("a second root element <" + name + ">");
        if (open_.size() == XML_DEPTH_LIMIT)
            return Malformed("elements nested more than " + std::to_string(XML_DEPTH_LIMIT) +
                             " deep");
        rootSeen_ = true;
        const int depth = static_cast<int>(open_.size()) + 1;
        if (!Handled(handler_.Start(name, depth))) return false;
        std::string attribute, value;
        while (true) {
            const bool spaced = SkipSpace();
            const int c = in_.Peek();
            if (c == '>' || c == '/') {
                in_.Next();
                if (c == '/' && !Expect('>', "after '/' in a tag")) return false;
                if (!Handled(handler_.StartDone())) return false;
                if (c == '/') return Handled(handler_.End(depth));
                open_.push_back(std::move(name));
                return true;
            }
            if (c < 0) return Malformed("the document ends inside <" + name + ">");
            if (!spaced) return Malformed("expected a space before an attribute of <" + name + ">");
            bool whole;
            if (!ReadName(attribute)) return false;
            SkipSpace();
            if (!Expect('=', "after an attribute name")) return false;
            SkipSpace();
            if (!ReadAttributeValue(value, whole)) return false;
            if (!Handled(handler_.Attribute(attribute, value, whole))) return false;
        }
    }

    // After "</".
    bool EndTag() {
        std::string name;
        if (!ReadName(name)) return false;
        SkipSpace();
        if (!Expect('>', "at the end of an end tag")) return false;
        if (open_.empty()) return Malformed("</" + name + "> closes no element");
        if (name != open_.back()) return Malformed("</" + name + "> closes <" + open_.back() + ">");
        const int depth = static_cast<int>(open_.size());
        open_.pop_back();
        return Handled(handler_.End(depth));
    }

    // After "<!DOCTYPE": steps over the declaration, internal subset included.
    bool Doctype() {
        if (rootSeen_) return Malformed("a document type declaration after the root element");
        int brackets = 0, quote = 0;
        for (int c = in_.Next();; c = in_.Next()) {
            if (c < 0) return Malformed("the document ends inside its document type declaration");
            if (quote)
                quote = c == quote ? 0 : quote;
            else if (c == '"' || c == '\'')
                quote = c;
            else if (c == '[')
                ++brackets;
            else if (c == ']')
                --brackets;
            else if (c == '>' && brackets <= 0)
                return true;
        }
    }

    // After "<![CDATA[": the section's text, as it stands.
    bool Cdata() {
        if (open_.empty()) return Malformed("a CDATA section outside the root element");
        constexpr std::size_t PIECE = 4096;
        std::string text;
        int brackets = 0; // the last ']' read, at most two, not yet text
        while (true) {
            const int c = in_.Next();
            if (c < 0) return Malformed("the document ends inside a CDATA section");
            if (c == '>' && brackets == 2)
                return text.empty() || Handled(handler_.Text(text.data(), text.size()));
            if (c == ']' && brackets < 2) {
                ++brackets;
                continue;
            }
            if (c != ']') {
                text.append(static_cast<std::size_t>(brackets), ']');
                brackets = 0;
            }
            text += static_cast<char>(c);
            if (text.size() >= PIECE) {
                if (!Handled(handler_.Text(text.data(), text.size()))) return false;
                text.clear();
            }
        }
    }

    // Reads `word`; false when something else comes.
    bool Literal(std::string_view word) {
        for (const char c : word)
            if (in_.Next() != c) return false;
        return true;
    }

    // After '<'.
    bool Markup() {
        const int c = in_.Peek();
        if (c == '/') {
            in_.Next();
            return EndTag();
        }
        if (c == '?') return SkipPast("?>", "a processing instruction");
        if (c != '!') return StartTag();
        in_.Next();
        const int kind = in_.Peek();
        if (kind == '-' && Literal("--")) return SkipPast("-->", "a comment");
        if (kind == '[' && Literal("[CDATA[")) return Cdata();
        if (kind == 'D' && Literal("DOCTYPE")) return Doctype();
        return Malformed("unknown markup after \"<!\"");
    }

    // Character data up to the next '<'.
    bool Text() {
        std::string entity;
        const char* lt = nullptr; // the next '<' of the block at hand, once looked for
        const char* blockEnd = nullptr;
        unsigned long block = 0;
        while (in_.Held() > 0) {
            const char* here = in_.Here();
            const std::size_t held = in_.Held();
            if (!blockEnd || in_.Fills() != block) {
                block = in_.Fills();
                blockEnd = here + held;
                lt = static_cast<const char*>(std::memchr(here, '<', held));
            }
            const char* stop = lt ? lt : blockEnd;
            const char* amp = static_cast<const char*>(std::memchr(here, '&', stop - here));
            const char* end = amp ? amp : stop;
            if (end > here) {
                if (open_.empty()) {
                    if (!std::all_of(here, end, [](char b) { return IsSpace(b); }))
                        return Malformed("text outside the root element");
                } else if (!Handled(handler_.Text(here, static_cast<std::size_t>(end - here)))) {
                    return false;
                }
                in_.Advance(static_cast<std::size_t>(end - here));
            }
            if (amp) {
                in_.Next();
                if (open_.empty()) return Malformed("an entity outside the root element");
                entity.clear();
                if (!ReadEntity(entity) || !Handled(handler_.Text(entity.data(), entity.size())))
                    return false;
            } else if (lt) {
                return true;
            }
        }
        return true;
    }

    Cursor in_;
    XmlHandler& handler_;
    std::string& error_;
    XmlResult result_ = XmlResult::Read;
    std::vector<std::string> open_; // names of the open elements, the root first
    bool rootSeen_ = false;
};

} // namespace

XmlResult ReadXml(const XmlInput& input, XmlHandler& handler, std::string& error) {
    return Reader(input, handler, error).Read();
}
