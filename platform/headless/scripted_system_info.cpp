// The running system's answers, unless a test has fixed them. A fixed local
// time runs on with the headless clock.
#include "platform/win/system_info.h"

#include "platform/backend.h"
#include "platform/headless/headless.h"

#include <cstdint>
#include <ctime>
#include <optional>

namespace platform {

namespace {

struct FixedVersion {
    DWORD platformId, major, minor;
};
struct FixedDisk {
    DWORD sectorsPerCluster, bytesPerSector, freeClusters;
};
struct FixedTime {
    std::int64_t milliseconds; // since 1970-01-01 00:00 on the fixed calendar
    std::uint32_t clock;       // headless clock when it was fixed
};

std::optional<FixedVersion> version;
std::optional<FixedDisk> disk;
std::optional<FixedTime> localTime;

} // namespace

BOOL GetVersionExA(OSVERSIONINFOA* info) {
    if (!version) return host::VersionRecord(info);
    if (info->dwOSVersionInfoSize < sizeof(OSVERSIONINFOA)) return 0;
    info->dwPlatformId = version->platformId;
    info->dwMajorVersion = version->major;
    info->dwMinorVersion = version->minor;
    info->dwBuildNumber = 0;
    info->szCSDVersion[0] = '\0';
    return 1;
}

BOOL GetDiskFreeSpaceA(const char* root, DWORD* sectorsPerCluster, DWORD* bytesPerSector,
                       DWORD* freeClusters, DWORD* totalClusters) {
    if (!disk)
        return host::DiskFreeSpace(root, sectorsPerCluster, bytesPerSector, freeClusters,
                                   totalClusters);
    if (sectorsPerCluster) *sectorsPerCluster = disk->sectorsPerCluster;
    if (bytesPerSector) *bytesPerSector = disk->bytesPerSector;
    if (freeClusters) *freeClusters = disk->freeClusters;
    if (totalClusters) *totalClusters = disk->freeClusters;
    return 1;
}

void GetLocalTime(SYSTEMTIME* time) {
    if (!localTime) return host::LocalTime(time);
    std::int64_t now = localTime->milliseconds + (timeGetTime() - localTime->clock);
    std::time_t seconds = static_cast<std::time_t>(now / 1000);
    std::tm date{};
#ifdef _WIN32
    gmtime_s(&date, &seconds);
#else
    gmtime_r(&seconds, &date);
#endif
    *time = MakeSystemTime(date.tm_year + 1900, date.tm_mon + 1, date.tm_mday, date.tm_hour,
                           date.tm_min, date.tm_sec, static_cast<int>(now % 1000));
}

namespace headless {

void SetVersionRecord(DWORD platformId, DWORD major, DWORD minor) {
    version = FixedVersion{platformId, major, minor};
}

void SetDiskFree(DWORD sectorsPerCluster, DWORD bytesPerSector, DWORD freeClusters) {
    disk = FixedDisk{sectorsPerCluster, bytesPerSector, freeClusters};
}

void SetLocalTime(int year, int month, int day, int hour, int minute, int second) {
    // Kept on the calendar of UTC, which has no gaps, so that it runs on evenly.
    std::tm date{};
    date.tm_year = year - 1900;
    date.tm_mon = month - 1;
    date.tm_mday = day;
    date.tm_hour = hour;
    date.tm_min = minute;
    date.tm_sec = second;
#ifdef _WIN32
    const std::time_t seconds = _mkgmtime(&date);
#else
    const std::time_t seconds = timegm(&date);
#endif
    localTime = FixedTime{static_cast<std::int64_t>(seconds) * 1000, timeGetTime()};
}

void UseHostSystemInfo() {
    version.reset();
    disk.reset();
    localTime.reset();
}

} // namespace headless
} // namespace platform
