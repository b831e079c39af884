#pragma once
// What the System Information dialog shows, read from Linux into records shaped like the ones
// the dialog was written against, and the dialog's rules that turn records into field texts.
// The rules take made-up records as readily as real ones.

#include <QString>
#include <cstdint>
#include <optional>

// Byte counts are 64-bit: a machine may have more than 4 GB.
struct MEMORYSTATUS
{
    uint32_t dwLength = 32;
    uint64_t dwTotalPhys = 0;
    uint64_t dwAvailPhys = 0;
    uint64_t dwAvailVirtual = 0;
};

constexpr uint32_t PROCESSOR_INTEL_486 = 486;
constexpr uint32_t PROCESSOR_INTEL_PENTIUM = 586;
constexpr uint32_t PROCESSOR_ARM = 2336;
constexpr uint32_t PROCESSOR_OTHER = 0;

struct SYSTEM_INFO
{
    uint32_t dwProcessorType = PROCESSOR_OTHER;
};

constexpr uint32_t VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr uint32_t VER_PLATFORM_WIN32_NT = 2;
// Our own number for a Linux kernel: neither of the two above.
constexpr uint32_t VER_PLATFORM_LINUX = 0x4C58;

struct OSVERSIONINFO
{
    uint32_t dwOSVersionInfoSize = 148;
    uint32_t dwMajorVersion = 0;
    uint32_t dwMinorVersion = 0;
    uint32_t dwPlatformId = 0;
};

struct DiskFreeSpace
{
    uint64_t nTotalBytes = 0;
    uint64_t nTotalFreeBytes = 0; // free blocks of the file system, not the caller's quota
};

// The directory whose file system the disk fields describe.
inline constexpr const char *kSystemDirectory = "/";

void GlobalMemoryStatus(MEMORYSTATUS *pStatus);
void GetSystemInfo(SYSTEM_INFO *pInfo);
// False when the kernel's version cannot be read.
bool GetVersionEx(OSVERSIONINFO *pInfo);
// The display name of the user's language ("中文" for a Chinese locale).
QString SystemLanguageName();
bool GetDiskFreeSpaceEx(const char *pszDirectory, DiskFreeSpace *pSpace);

// Everything the dialog reads, gathered in one place; an empty optional is a failed call.
struct SysInfoRecords
{
    MEMORYSTATUS memory;
    SYSTEM_INFO system;
    std::optional<OSVERSIONINFO> version;
    QString strLanguage;
    std::optional<DiskFreeSpace> disk;
    uint32_t nDiskSerial = 0;
};

SysInfoRecords ReadSysInfoRecords();

// The field texts; an empty optional leaves the field's placeholder.
struct SysInfoTexts
{
    QString strTotalPhys; // 102
    QString strAvailPhys; // 101
    QString strAvailVirtual; // 103
    QString strCpu; // 104
    std::optional<QString> strOs; // 105
    std::optional<QString> strVersion; // 106
    std::optional<QString> strDiskTotal; // 1016
    std::optional<QString> strDiskFree; // 1017
    QString strSerial; // 1029
};

SysInfoTexts FormatSysInfo(const SysInfoRecords &records);

// The single rules, for the dialog and its tests.
QString FormatKilobytes(uint64_t nBytes);
QString FormatDiskKilobytes(uint64_t nBytes);
QString ProcessorName(uint32_t dwProcessorType);
QString PlatformName(uint32_t dwPlatformId);
QString FormatSerial(uint32_t nSerial);
