// The running system's memory, version, disk space and local time, as Linux
// reports them.
#include "platform/win/system_info.h"

#include "platform/files/files.h"

#include <sys/statvfs.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

namespace platform {

namespace {

DWORD Clamp32(unsigned long long value) {
    return static_cast<DWORD>(std::min<unsigned long long>(value, 0xFFFFFFFFull));
}

// "C:\", "c:" and the like: a drive, which is the program folder's file system here.
bool IsDriveRoot(const char* root) {
    return std::strlen(root) >= 2 && root[1] == ':' &&
           (root[2] == '\0' || ((root[2] == '\\' || root[2] == '/') && root[3] == '\0'));
}

} // namespace

void GlobalMemoryStatus(MEMORYSTATUS* status) {
    constexpr unsigned long long limit = 0x7FFFFFFF;
    DWORD length = status->dwLength;
    *status = MEMORYSTATUS{};
    status->dwLength = length;
    struct sysinfo info {};
    if (sysinfo(&info) != 0) return;
    unsigned long long unit = info.mem_unit ? info.mem_unit : 1;
    unsigned long long total = info.totalram * unit;
    unsigned long long available = (info.freeram + info.bufferram) * unit;
    status->dwTotalPhys = static_cast<DWORD>(std::min(total, limit));
    status->dwAvailPhys = static_cast<DWORD>(std::min(available, limit));
    status->dwMemoryLoad = total ? static_cast<DWORD>(100 - available * 100 / total) : 0;
}

namespace host {

BOOL VersionRecord(OSVERSIONINFOA* info) {
    if (info->dwOSVersionInfoSize < sizeof(OSVERSIONINFOA)) return 0;
    struct utsname name {};
    unsigned major = 0, minor = 0, build = 0;
    if (uname(&name) == 0) std::sscanf(name.release, "%u.%u.%u", &major, &minor, &build);
    info->dwMajorVersion = major;
    info->dwMinorVersion = minor;
    info->dwBuildNumber = build;
    info->dwPlatformId = VER_PLATFORM_WIN32_NT;
    info->szCSDVersion[0] = '\0';
    return 1;
}

BOOL DiskFreeSpace(const char* root, DWORD* sectorsPerCluster, DWORD* bytesPerSector,
                   DWORD* freeClusters, DWORD* totalClusters) {
    std::string path = !root || IsDriveRoot(root) ? ExecutableFolder() : ResolvePath(root);
    struct statvfs fs {};
    if (statvfs(path.c_str(), &fs) != 0) return 0;
    // Sectors of 512 bytes make up a block of the file system.
    unsigned long long block = fs.f_frsize ? fs.f_frsize : fs.f_bsize;
    DWORD sector = block % 512 == 0 ? 512 : static_cast<DWORD>(block);
    if (sectorsPerCluster) *sectorsPerCluster = Clamp32(block / sector);
    if (bytesPerSector) *bytesPerSector = sector;
    if (freeClusters) *freeClusters = Clamp32(fs.f_bavail);
    if (totalClusters) *totalClusters = Clamp32(fs.f_blocks);
    return 1;
}

void LocalTime(SYSTEMTIME* time) {
    std::timespec now{};
    std::timespec_get(&now, TIME_UTC);
    std::tm local{};
    localtime_r(&now.tv_sec, &local);
    *time = MakeSystemTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                           local.tm_min, local.tm_sec, static_cast<int>(now.tv_nsec / 1000000));
}

} // namespace host
} // namespace platform
