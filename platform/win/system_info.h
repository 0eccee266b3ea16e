// The system's version, free disk space, free memory and local time, in the
// records the framework's callers expect. The calls a backend answers
// (GetVersionExA, GetDiskFreeSpaceA, GetLocalTime) are in platform/backend.h.
#pragma once

#include "platform/win/win_defs.h"

namespace platform {

constexpr DWORD VER_PLATFORM_WIN32s = 0;
constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr DWORD VER_PLATFORM_WIN32_NT = 2;

struct OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion, dwMinorVersion, dwBuildNumber, dwPlatformId;
    char szCSDVersion[128];
};

struct MEMORYSTATUS {
    DWORD dwLength, dwMemoryLoad;
    DWORD dwTotalPhys, dwAvailPhys;
    DWORD dwTotalPageFile, dwAvailPageFile;
    DWORD dwTotalVirtual, dwAvailVirtual;
};

struct SYSTEMTIME {
    WORD wYear, wMonth, wDayOfWeek, wDay;
    WORD wHour, wMinute, wSecond, wMilliseconds;
};

// Sizes above 2 GB read as 2 GB - 1, as a 32-bit program sees them.
void GlobalMemoryStatus(MEMORYSTATUS* status);

// The record of a moment of the proleptic Gregorian calendar, weekday included.
SYSTEMTIME MakeSystemTime(int year, int month, int day, int hour, int minute, int second,
                          int milliseconds);

namespace host {

// What the running system answers; a backend passes these on or stands in for them.
BOOL VersionRecord(OSVERSIONINFOA* info);
BOOL DiskFreeSpace(const char* root, DWORD* sectorsPerCluster, DWORD* bytesPerSector,
                   DWORD* freeClusters, DWORD* totalClusters);
void LocalTime(SYSTEMTIME* time);

} // namespace host
} // namespace platform
