// The system's version, memory, disk space and local time, as the system
// itself reports them.
#include "platform/files/files.h"
#include "platform/win/system_info.h"

#include "platform/win/win32.h"

#include <algorithm>

namespace platform {

namespace {

DWORD Clamp32(unsigned long long value) {
    return static_cast<DWORD>(std::min<unsigned long long>(value, 0xFFFFFFFFull));
}

SYSTEMTIME FromSystem(const ::SYSTEMTIME& time) {
    return SYSTEMTIME{time.wYear, time.wMonth,  time.wDayOfWeek, time.wDay,
                      time.wHour, time.wMinute, time.wSecond,    time.wMilliseconds};
}

} // namespace

void GlobalMemoryStatus(MEMORYSTATUS* status) {
    constexpr unsigned long long limit = 0x7FFFFFFF;
    const DWORD length = status->dwLength;
    *status = MEMORYSTATUS{};
    status->dwLength = length;
    MEMORYSTATUSEX memory{};
    memory.dwLength = sizeof memory;
    if (!GlobalMemoryStatusEx(&memory)) return;
    status->dwMemoryLoad = memory.dwMemoryLoad;
    status->dwTotalPhys =
        static_cast<DWORD>(std::min<unsigned long long>(memory.ullTotalPhys, limit));
    status->dwAvailPhys =
        static_cast<DWORD>(std::min<unsigned long long>(memory.ullAvailPhys, limit));
    status->dwTotalPageFile =
        static_cast<DWORD>(std::min<unsigned long long>(memory.ullTotalPageFile, limit));
    status->dwAvailPageFile =
        static_cast<DWORD>(std::min<unsigned long long>(memory.ullAvailPageFile, limit));
    status->dwTotalVirtual =
        static_cast<DWORD>(std::min<unsigned long long>(memory.ullTotalVirtual, limit));
    status->dwAvailVirtual =
        static_cast<DWORD>(std::min<unsigned long long>(memory.ullAvailVirtual, limit));
}

namespace host {

BOOL VersionRecord(OSVERSIONINFOA* info) {
    if (info->dwOSVersionInfoSize < sizeof(OSVERSIONINFOA)) return 0;
    // The kernel's own numbers: the library call answers what the program's
    // manifest claims to know.
    using GetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
    auto get = reinterpret_cast<GetVersion>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    if (!get || get(&version) != 0) return 0;
    info->dwMajorVersion = version.dwMajorVersion;
    info->dwMinorVersion = version.dwMinorVersion;
    info->dwBuildNumber = version.dwBuildNumber;
    info->dwPlatformId = VER_PLATFORM_WIN32_NT;
    info->szCSDVersion[0] = '\0';
    return 1;
}

BOOL DiskFreeSpace(const char* root, DWORD* sectorsPerCluster, DWORD* bytesPerSector,
                   DWORD* freeClusters, DWORD* totalClusters) {
    const std::wstring path = windows::WideFromUtf8(root ? ResolvePath(root) : ExecutableFolder());
    ::DWORD sectors = 0, bytes = 0, free = 0, total = 0;
    ULARGE_INTEGER available{}, size{};
    if (!GetDiskFreeSpaceW(path.c_str(), &sectors, &bytes, &free, &total) ||
        !GetDiskFreeSpaceExW(path.c_str(), &available, &size, nullptr))
        return 0;
    // Counts of clusters beyond 32 bits are held at the largest.
    const unsigned long long cluster = static_cast<unsigned long long>(sectors) * bytes;
    if (sectorsPerCluster) *sectorsPerCluster = sectors;
    if (bytesPerSector) *bytesPerSector = bytes;
    if (freeClusters) *freeClusters = Clamp32(cluster ? available.QuadPart / cluster : 0);
    if (totalClusters) *totalClusters = Clamp32(cluster ? size.QuadPart / cluster : 0);
    return 1;
}

void LocalTime(SYSTEMTIME* time) {
    ::SYSTEMTIME now;
    ::GetLocalTime(&now);
    *time = FromSystem(now);
}

} // namespace host

} // namespace platform
