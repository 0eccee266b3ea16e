// Named mutexes of the system: the single-instance guard is the kernel's own.
#include "platform/win/held_file.h"

#include "platform/win/win32.h"

namespace platform {

HANDLE CreateMutex(const char* name, bool* alreadyExists) {
    // Named in the user's session, as a program's instance is.
    ::HANDLE mutex = CreateMutexW(nullptr, TRUE, windows::WideFromCp932(name).c_str());
    const bool existed = mutex && GetLastError() == ERROR_ALREADY_EXISTS;
    if (alreadyExists) *alreadyExists = existed;
    if (existed) {
        CloseHandle(mutex);
        return nullptr;
    }
    return mutex;
}

BOOL ReleaseMutex(HANDLE mutex) {
    if (!mutex) return 0;
    const BOOL released = ::ReleaseMutex(mutex);
    CloseHandle(mutex);
    return released;
}

} // namespace platform
