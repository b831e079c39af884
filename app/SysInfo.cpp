#include "app/SysInfo.h"

#include "tail/tail.h"

#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>

namespace {

// A "Name:   1234 kB" line of a /proc file, in bytes; nullopt when absent.
std::optional<uint64_t> ProcKilobytes(const char *pszPath, const char *pszName)
{
    QFile file(QString::fromLatin1(pszPath));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    const QByteArray prefix = QByteArray(pszName) + ':';
    // Files under /proc report no size: read to the end rather than asking for it.
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (!line.startsWith(prefix))
            continue;
        bool bOk = false;
        const QByteArray value = line.mid(prefix.size()).simplified().split(' ').value(0);
        const qulonglong n = value.toULongLong(&bOk);
        if (bOk && n <= UINT64_MAX / 1024)
            return uint64_t {n} * 1024;
        return std::nullopt;
    }
    return std::nullopt;
}

// The size of the address space a user process may use.
uint64_t UserAddressSpace()
{
    struct rlimit limit
    {
    };
    if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        return limit.rlim_cur;
    if constexpr (sizeof(void *) == 4)
        return uint64_t {3} << 30;
    return uint64_t {1} << 47;
}

} // namespace

void GlobalMemoryStatus(MEMORYSTATUS *pStatus)
{
    *pStatus = MEMORYSTATUS {};
    struct sysinfo si
    {
    };
    if (sysinfo(&si) == 0) {
        pStatus->dwTotalPhys = uint64_t {si.totalram} * si.mem_unit;
        pStatus->dwAvailPhys = uint64_t {si.freeram} * si.mem_unit;
    }
    // Free memory alone leaves out the caches the kernel gives back on demand.
    if (const auto avail = ProcKilobytes("/proc/meminfo", "MemAvailable"))
        pStatus->dwAvailPhys = *avail;
    const uint64_t nSpace = UserAddressSpace();
    const uint64_t nUsed = ProcKilobytes("/proc/self/status", "VmSize").value_or(0);
    pStatus->dwAvailVirtual = nUsed < nSpace ? nSpace - nUsed : 0;
}

void GetSystemInfo(SYSTEM_INFO *pInfo)
{
#if defined(__i386__) || defined(__x86_64__)
    // Every x86 processor since the Pentium reports itself as one.
    pInfo->dwProcessorType = PROCESSOR_INTEL_PENTIUM;
#elif defined(__arm__) || defined(__aarch64__)
    pInfo->dwProcessorType = PROCESSOR_ARM;
#else
    pInfo->dwProcessorType = PROCESSOR_OTHER;
#endif
}

bool GetVersionEx(OSVERSIONINFO *pInfo)
{
    struct utsname name
    {
    };
    if (uname(&name) != 0)
        return false;
    static const QRegularExpression re(QStringLiteral("^(\\d+)\\.(\\d+)"));
    const QRegularExpressionMatch m = re.match(QString::fromLatin1(name.release));
    if (!m.hasMatch())
        return false;
    pInfo->dwMajorVersion = m.captured(1).toUInt();
    pInfo->dwMinorVersion = m.captured(2).toUInt();
    pInfo->dwPlatformId = VER_PLATFORM_LINUX;
    return true;
}

QString SystemLanguageName()
{
    // The user's own locale, not the Chinese one Qt is given for formatting.
    QString name = qEnvironmentVariable("LC_ALL");
    for (const char *variable : {"LC_MESSAGES", "LANG"})
        if (name.isEmpty())
            name = qEnvironmentVariable(variable);
    const QLocale locale(name.isEmpty() ? QStringLiteral("C") : name);
    if (locale.language() == QLocale::C)
        return QLocale::languageToString(QLocale::English);
    const QString native = locale.nativeLanguageName();
    return native.isEmpty() ? QLocale::languageToString(locale.language()) : native;
}

bool GetDiskFreeSpaceEx(const char *pszDirectory, DiskFreeSpace *pSpace)
{
    struct statvfs vfs
    {
    };
    if (statvfs(pszDirectory, &vfs) != 0)
        return false;
    pSpace->nTotalBytes = uint64_t {vfs.f_blocks} * vfs.f_frsize;
    pSpace->nTotalFreeBytes = uint64_t {vfs.f_bfree} * vfs.f_frsize;
    return true;
}

SysInfoRecords ReadSysInfoRecords()
{
    SysInfoRecords r;
    GlobalMemoryStatus(&r.memory);
    GetSystemInfo(&r.system);
    OSVERSIONINFO version;
    if (GetVersionEx(&version)) {
        r.version = version;
        r.strLanguage = SystemLanguageName();
    }
    DiskFreeSpace disk;
    if (GetDiskFreeSpaceEx(kSystemDirectory, &disk))
        r.disk = disk;
    r.nDiskSerial = GetDiskSerialNo();
    return r;
}

QString FormatKilobytes(uint64_t nBytes)
{
    return QStringLiteral("%1 KB").arg(nBytes >> 10);
}

QString FormatDiskKilobytes(uint64_t nBytes)
{
    // The field shows the low 32 bits of the kilobyte count.
    return QStringLiteral("%1 KB").arg(static_cast<uint32_t>(nBytes >> 10));
}

QString ProcessorName(uint32_t dwProcessorType)
{
    switch (dwProcessorType) {
    case PROCESSOR_INTEL_486:
        return QStringLiteral("Intel 80486");
    case PROCESSOR_INTEL_PENTIUM:
        return QStringLiteral("Intel Pentium");
    default:
        return QString();
    }
}

QString PlatformName(uint32_t dwPlatformId)
{
    switch (dwPlatformId) {
    case VER_PLATFORM_WIN32_WINDOWS:
        return QStringLiteral("Windows 9X");
    case VER_PLATFORM_WIN32_NT:
        return QStringLiteral("Windows NT");
    default:
        return QStringLiteral("UNKOWN");
    }
}

QString FormatSerial(uint32_t nSerial)
{
    return QString::number(nSerial, 16).toUpper();
}

SysInfoTexts FormatSysInfo(const SysInfoRecords &r)
{
    SysInfoTexts t;
    t.strTotalPhys = FormatKilobytes(r.memory.dwTotalPhys);
    t.strAvailPhys = FormatKilobytes(r.memory.dwAvailPhys);
    t.strAvailVirtual = FormatKilobytes(r.memory.dwAvailVirtual);
    t.strCpu = ProcessorName(r.system.dwProcessorType);
    if (r.version) {
        t.strOs = PlatformName(r.version->dwPlatformId);
        t.strVersion = QStringLiteral("%1.%2, %3")
                           .arg(r.version->dwMajorVersion)
                           .arg(r.version->dwMinorVersion)
                           .arg(r.strLanguage);
    }
    if (r.disk) {
        t.strDiskTotal = FormatDiskKilobytes(r.disk->nTotalBytes);
        t.strDiskFree = FormatDiskKilobytes(r.disk->nTotalFreeBytes);
    }
    t.strSerial = FormatSerial(r.nDiskSerial);
    return t;
}
