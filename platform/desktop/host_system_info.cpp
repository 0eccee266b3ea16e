// The desktop, and the Windows backend, report what the running system answers.
#include "platform/backend.h"
#include "platform/win/system_info.h"

namespace platform {

BOOL GetVersionExA(OSVERSIONINFOA* info) { return host::VersionRecord(info); }

BOOL GetDiskFreeSpaceA(const char* root, DWORD* sectorsPerCluster, DWORD* bytesPerSector,
                       DWORD* freeClusters, DWORD* totalClusters) {
    return host::DiskFreeSpace(root, sectorsPerCluster, bytesPerSector, freeClusters,
                               totalClusters);
}

void GetLocalTime(SYSTEMTIME* time) { host::LocalTime(time); }

} // namespace platform
