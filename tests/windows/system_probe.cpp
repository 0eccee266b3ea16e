#include "tests/windows/system_probe.h"

#include "platform/win/win32.h"

#include <aclapi.h>

#include <string>

namespace system_probe {

namespace {

// This process's user, as the system names it.
std::string UserSid() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::string buffer(size, '\0');
    const bool known = GetTokenInformation(token, TokenUser, buffer.data(), size, &size);
    CloseHandle(token);
    if (!known) return {};
    const PSID sid = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
    return std::string(static_cast<const char*>(sid), GetLengthSid(sid));
}

} // namespace

void Pause(int ms) { Sleep(static_cast<DWORD>(ms)); }

bool ClosedToOthers(const std::string& folder) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    PACL list = nullptr;
    if (GetNamedSecurityInfoW(platform::windows::WideFromUtf8(folder).c_str(), SE_FILE_OBJECT,
                              DACL_SECURITY_INFORMATION, nullptr, nullptr, &list, nullptr,
                              &descriptor) != ERROR_SUCCESS)
        return false;
    // Every entry that lets anyone in names this user, or the system itself.
    std::string user = UserSid();
    bool closed = list && !user.empty();
    for (int i = 0; closed && i < list->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* entry = nullptr;
        if (!GetAce(list, i, reinterpret_cast<void**>(&entry))) closed = false;
        if (!closed || entry->Header.AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
        const PSID sid = &entry->SidStart;
        closed = EqualSid(sid, user.data()) || IsWellKnownSid(sid, WinLocalSystemSid);
    }
    LocalFree(descriptor);
    return closed;
}

HeldOpen::HeldOpen(const std::string& path) {
    HANDLE file = CreateFileW(platform::windows::WideFromUtf8(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) handle = file;
}

HeldOpen::~HeldOpen() {
    if (handle) CloseHandle(handle);
}

} // namespace system_probe
