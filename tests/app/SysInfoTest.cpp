#include "app/SysInfo.h"
#include "app/CSysInfoDlg.h"
#include "res/AboutTemplates.h"
#include "tail/tail.h"
#include "tests/common/WidgetTestAccess.h"

#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

#include <sys/statvfs.h>

namespace {

SysInfoRecords MadeUpRecords()
{
    SysInfoRecords r;
    r.memory.dwTotalPhys = 1073741824;
    r.memory.dwAvailPhys = 1023;
    r.memory.dwAvailVirtual = uint64_t {8} << 30;
    r.system.dwProcessorType = PROCESSOR_INTEL_486;
    OSVERSIONINFO v;
    v.dwMajorVersion = 4;
    v.dwMinorVersion = 10;
    v.dwPlatformId = VER_PLATFORM_WIN32_WINDOWS;
    r.version = v;
    r.strLanguage = QStringLiteral("中文(中国)");
    r.disk = DiskFreeSpace {(uint64_t {1} << 42) + 5 * 1024, 2048};
    r.nDiskSerial = 255;
    return r;
}

} // namespace

TEST(SysInfoRules, ProcessorTypesName)
{
    EXPECT_EQ(ProcessorName(386), QString());
    EXPECT_EQ(ProcessorName(486), QStringLiteral("Intel 80486"));
    EXPECT_EQ(ProcessorName(586), QStringLiteral("Intel Pentium"));
    EXPECT_EQ(ProcessorName(PROCESSOR_ARM), QString());
}

TEST(SysInfoRules, PlatformsName)
{
    EXPECT_EQ(PlatformName(1), QStringLiteral("Windows 9X"));
    EXPECT_EQ(PlatformName(2), QStringLiteral("Windows NT"));
    EXPECT_EQ(PlatformName(0), QStringLiteral("UNKOWN"));
    EXPECT_EQ(PlatformName(VER_PLATFORM_LINUX), QStringLiteral("UNKOWN"));
}

TEST(SysInfoRules, KilobytesRoundDownAndMemoryKeepsSixtyFourBits)
{
    EXPECT_EQ(FormatKilobytes(1073741824), QStringLiteral("1048576 KB"));
    EXPECT_EQ(FormatKilobytes(1023), QStringLiteral("0 KB"));
    EXPECT_EQ(FormatKilobytes(2047), QStringLiteral("1 KB"));
    EXPECT_EQ(FormatKilobytes(uint64_t {8} << 30), QStringLiteral("8388608 KB"));
    // Disk fields show the low 32 bits of the kilobyte count.
    EXPECT_EQ(FormatDiskKilobytes((uint64_t {1} << 42) + 5 * 1024), QStringLiteral("5 KB"));
    EXPECT_EQ(FormatDiskKilobytes(uint64_t {500} << 30), QStringLiteral("524288000 KB"));
}

TEST(SysInfoRules, SerialIsUpperCaseHexWithoutPadding)
{
    EXPECT_EQ(FormatSerial(255), QStringLiteral("FF"));
    EXPECT_EQ(FormatSerial(0), QStringLiteral("0"));
    EXPECT_EQ(FormatSerial(0xDEADBEEF), QStringLiteral("DEADBEEF"));
    EXPECT_EQ(FormatSerial(0x0A0B), QStringLiteral("A0B"));
}

TEST(SysInfoRules, RecordsBecomeFieldTexts)
{
    SysInfoRecords r = MadeUpRecords();
    SysInfoTexts t = FormatSysInfo(r);
    EXPECT_EQ(t.strTotalPhys, QStringLiteral("1048576 KB"));
    EXPECT_EQ(t.strAvailPhys, QStringLiteral("0 KB"));
    EXPECT_EQ(t.strAvailVirtual, QStringLiteral("8388608 KB"));
    EXPECT_EQ(t.strCpu, QStringLiteral("Intel 80486"));
    EXPECT_EQ(t.strOs, QStringLiteral("Windows 9X"));
    EXPECT_EQ(t.strVersion, QStringLiteral("4.10, 中文(中国)"));
    EXPECT_EQ(t.strDiskTotal, QStringLiteral("5 KB"));
    EXPECT_EQ(t.strDiskFree, QStringLiteral("2 KB"));
    EXPECT_EQ(t.strSerial, QStringLiteral("FF"));

    // Failed calls leave their fields alone.
    r.version.reset();
    r.disk.reset();
    t = FormatSysInfo(r);
    EXPECT_FALSE(t.strOs.has_value());
    EXPECT_FALSE(t.strVersion.has_value());
    EXPECT_FALSE(t.strDiskTotal.has_value());
    EXPECT_FALSE(t.strDiskFree.has_value());
}

TEST(SysInfoSources, LinuxRecordsAreSane)
{
    const SysInfoRecords r = ReadSysInfoRecords();
    EXPECT_GT(r.memory.dwTotalPhys, 0u);
    EXPECT_LE(r.memory.dwAvailPhys, r.memory.dwTotalPhys);
    EXPECT_GT(r.memory.dwAvailVirtual, 0u);
    // The process's own mappings are taken off the address space.
    if constexpr (sizeof(void *) == 8) {
        EXPECT_LT(r.memory.dwAvailVirtual, uint64_t {1} << 47);
    }
    ASSERT_TRUE(r.version.has_value());
    EXPECT_GE(r.version->dwMajorVersion, 2u);
    EXPECT_NE(r.version->dwPlatformId, VER_PLATFORM_WIN32_WINDOWS);
    EXPECT_NE(r.version->dwPlatformId, VER_PLATFORM_WIN32_NT);
    EXPECT_FALSE(r.strLanguage.isEmpty());
    ASSERT_TRUE(r.disk.has_value());
    EXPECT_GT(r.disk->nTotalBytes, 0u);
    EXPECT_LE(r.disk->nTotalFreeBytes, r.disk->nTotalBytes);
#if defined(__x86_64__) || defined(__i386__)
    EXPECT_EQ(r.system.dwProcessorType, PROCESSOR_INTEL_PENTIUM);
#endif
    // The serial is the root file system's id folded to 32 bits, as the kernel reports it.
    struct statvfs vfs
    {
    };
    ASSERT_EQ(statvfs("/", &vfs), 0);
    const unsigned long long fsid = vfs.f_fsid;
    if (fsid != 0) {
        EXPECT_EQ(GetDiskSerialNo(), uint32_t(fsid) ^ uint32_t(fsid >> 32));
    }
    EXPECT_NE(GetDiskSerialNo(), 0u);
    EXPECT_EQ(r.nDiskSerial, GetDiskSerialNo());
}

class SysInfoDialog : public ::testing::Test
{
protected:
    QString Field(int nID) { return dlg.GetDlgItemText(nID); }
    CSysInfoDlg dlg;
};

TEST_F(SysInfoDialog, ShowsRealValuesAndClosesAsCancelOnARelease)
{
    ASSERT_TRUE(dlg.Create(true));
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("系统信息"));
    EXPECT_FALSE(dlg.windowIcon().isNull());
    EXPECT_TRUE(Field(IDC_SYS_PHYS_MEM).endsWith(QStringLiteral(" KB")));
    EXPECT_TRUE(Field(IDC_SYS_AVAIL_MEM).endsWith(QStringLiteral(" KB")));
    EXPECT_TRUE(Field(IDC_SYS_VIRT_MEM).endsWith(QStringLiteral(" KB")));
    EXPECT_EQ(Field(IDC_SYS_OS), QStringLiteral("UNKOWN"));
    EXPECT_TRUE(Field(IDC_SYS_VERSION).contains(QStringLiteral(", ")));
    EXPECT_TRUE(Field(IDC_SYS_DISK_TOTAL).endsWith(QStringLiteral(" KB")));
    EXPECT_EQ(Field(IDC_SYS_SERIAL), FormatSerial(GetDiskSerialNo()));
    EXPECT_EQ(dlg.palette().color(QPalette::Window), QColor(255, 204, 255));

    // A press alone leaves it open; the release closes it.
    QTest::mousePress(&dlg, Qt::LeftButton, {}, QPoint(4, 4));
    EXPECT_TRUE(TestAccess<CDialog>::IsOpen(dlg));
    QTest::mouseRelease(&dlg, Qt::LeftButton, {}, QPoint(4, 4));
    EXPECT_FALSE(TestAccess<CDialog>::IsOpen(dlg));
    EXPECT_EQ(TestAccess<CDialog>::Result(dlg), IDCANCEL);
}

TEST_F(SysInfoDialog, UnreadableValuesKeepTheirPlaceholders)
{
    dlg.SetRecordsReader([] {
        SysInfoRecords r = MadeUpRecords();
        r.version.reset();
        r.disk.reset();
        r.system.dwProcessorType = 386;
        r.nDiskSerial = 0;
        return r;
    });
    ASSERT_TRUE(dlg.Create(false));
    EXPECT_EQ(Field(IDC_SYS_PHYS_MEM), QStringLiteral("1048576 KB"));
    EXPECT_EQ(Field(IDC_SYS_CPU), QString());
    EXPECT_EQ(Field(IDC_SYS_OS), QStringLiteral("(OS)"));
    EXPECT_EQ(Field(IDC_SYS_VERSION), QStringLiteral("(Version)"));
    EXPECT_EQ(Field(IDC_SYS_DISK_TOTAL), QStringLiteral("(Disk space)"));
    EXPECT_EQ(Field(IDC_SYS_DISK_FREE), QStringLiteral("(Free space)"));
    EXPECT_EQ(Field(IDC_SYS_SERIAL), QStringLiteral("0"));
}
