// The system's version as one number, free disk space and free memory.
#include "platform/win/system_info.h"
#include "platform/backend.h"
#include "system/system.h"

namespace elSystem {

int OsVersion() {
    platform::OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!platform::GetVersionExA(&info)) return -1;
    int major = static_cast<int>(info.dwMajorVersion);
    int minor = static_cast<int>(info.dwMinorVersion);
    switch (info.dwPlatformId) {
    case platform::VER_PLATFORM_WIN32s:
        return 310;
    case platform::VER_PLATFORM_WIN32_WINDOWS:
        if (major == 4) return minor == 0 ? 950 : 980;
        return major * 100 + minor;
    case platform::VER_PLATFORM_WIN32_NT:
        if (major == 5) return 2000;
        return major * 1000 + minor * 10;
    default:
        return -1;
    }
}

int DiskFree(char drive) {
    char root[] = "?:\\";
    root[0] = drive;
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    platform::GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters,
                                &totalClusters);
    // The product wraps in 32 bits for more than 2 GB free, as it always has.
    return static_cast<int>(sectorsPerCluster * bytesPerSector * freeClusters);
}

int MemoryFree() {
    platform::MEMORYSTATUS status{};
    status.dwLength = 32;
    platform::GlobalMemoryStatus(&status);
    return static_cast<int>(status.dwAvailPhys);
}

} // namespace elSystem
