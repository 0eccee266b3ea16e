// Files' identities, told by the system's own step of file_ops.h.
#include "platform/files/file_io.h"

#include "platform/files/file_ops.h"

namespace platform {

int IdentifyFile(const std::string& path, FileIdentity& identity) {
    file_ops::Facts facts;
    if (!file_ops::Inspect(path, facts, true) || !facts.exists) return 0;
    identity = facts.identity;
    return 1;
}

int IdentifyOpenFile(int fd, FileIdentity& identity) {
    file_ops::Facts facts;
    if (!file_ops::InspectOpen(fd, facts)) return 0;
    identity = facts.identity;
    return 1;
}

int SameFile(const std::string& first, const std::string& second) {
    FileIdentity one, two;
    return IdentifyFile(first, one) && IdentifyFile(second, two) && SameFile(one, two);
}

} // namespace platform
