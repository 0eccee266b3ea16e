// A streaming reader for the XML of TMX documents: it hands elements,
// attributes and text to a handler as it meets them and keeps nothing of the
// document but a block of input, the names of the open elements and one
// attribute at a time, so that time is linear in the input and memory bounded
// whatever the input holds. It checks what a well-formed document needs
// (matching tags, quoted attributes, known entities, one root element, no
// stray text); it does not read document type declarations (it steps over
// them, entities declared there included) nor check character classes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class XmlHandler {
  public:
    // Each returns 0 to stop the reading (the handler keeps its own reason).

    // A start tag `name` at `depth` (the root element is at 1). Its attributes
    // follow, then StartDone; an empty element ("<a/>") then gets End at once.
    virtual int Start(std::string_view name, int depth) = 0;
    // An attribute of the last start tag, entities replaced; `whole` is false
    // when its value was longer than XML_VALUE_ROOM and cut there.
    virtual int Attribute(std::string_view name, std::string_view value, bool whole) = 0;
    virtual int StartDone() = 0;
    // Text inside the root element, entities replaced and CDATA sections as
    // they stand, in pieces of any length.
    virtual int Text(const char* text, std::size_t size) = 0;
    virtual int End(int depth) = 0;

  protected:
    ~XmlHandler() = default;
};

constexpr std::size_t XML_VALUE_ROOM = 1024; // bytes kept of an attribute value
constexpr std::size_t XML_NAME_ROOM = 256;   // the longest name read
constexpr int XML_DEPTH_LIMIT = 256;         // elements open at once

// Where the document comes from: a whole text in memory, or an open file read
// a block at a time.
struct XmlInput {
    const char* text = nullptr; // the text, when in memory
    std::size_t size = 0;
    int fd = -1; // otherwise the file
};

enum class XmlResult { Read, Stopped, Malformed, Unreadable };

// Reads the document into the handler. Stopped: the handler returned 0.
// Malformed: `error` says where ("line N") and what. Unreadable: the file
// could not be read; `error` is the cause.
XmlResult ReadXml(const XmlInput& input, XmlHandler& handler, std::string& error);
