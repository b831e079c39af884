// The real program as a process: the single-instance rule and the command line.

#include "app/CVelorineApp.h"
#include "platform/widgets/SingleInstance.h"
#include "tests/common/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

const QString kSecondCopyMessage = QStringLiteral(
    "已经有Velorine!正在运行。由于运行本程序的多个实例可能会导致磁盘缓冲区操作冲突，"
    "不允许允许第二个实例。请按确定退出本次运行。");

class ShellProcessTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_strProgram = QString::fromStdString(BinaryDir()) + QStringLiteral("/app/velorine");
        if (!QFileInfo::exists(m_strProgram))
            GTEST_SKIP() << "the program is not built";
    }
    QString Folder(const QString &name)
    {
        QDir().mkpath(name);
        return QDir::current().absoluteFilePath(name);
    }
    void Start(QProcess &p, const QString &dir, const QStringList &env = {},
               const QStringList &args = {})
    {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert(QStringLiteral("VELORINE_MESSAGES"), QStringLiteral("print"));
        for (const QString &kv : env)
            e.insert(kv.section(QLatin1Char('='), 0, 0), kv.section(QLatin1Char('='), 1));
        p.setProcessEnvironment(e);
        p.setWorkingDirectory(dir);
        p.start(m_strProgram,
                QStringList {QStringLiteral("-platform"), QStringLiteral("offscreen")} + args);
        ASSERT_TRUE(p.waitForStarted());
    }
    static bool MarkerHeldElsewhere()
    {
        CSingleInstance probe;
        return probe.Create() == CSingleInstance::Result::AlreadyRunning;
    }
    QString m_strProgram;
};

TEST_F(ShellProcessTest, SecondCopyShowsItsMessageOnceAndLeavesTheFirstAlone)
{
    QProcess first;
    const QString firstDir = Folder(QStringLiteral("first"));
    Start(first, firstDir);
    // Wait for the first copy to hold the marker (bounded: the process may also die).
    for (int i = 0; i < 3000 && !MarkerHeldElsewhere(); ++i)
        ASSERT_FALSE(first.waitForFinished(20)) << first.readAllStandardError().constData();
    ASSERT_TRUE(MarkerHeldElsewhere());

    QProcess second;
    const QString secondDir = Folder(QStringLiteral("second"));
    Start(second, secondDir);
    ASSERT_TRUE(second.waitForFinished(120000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    const QString err = QString::fromUtf8(second.readAllStandardError());
    EXPECT_EQ(err.count(kSecondCopyMessage), 1) << err.toStdString();
    EXPECT_TRUE(QDir(secondDir).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));

    EXPECT_EQ(first.state(), QProcess::Running);
    EXPECT_TRUE(MarkerHeldElsewhere());

    // A first copy killed outright leaves no marker behind.
    first.kill();
    ASSERT_TRUE(first.waitForFinished(60000));
    EXPECT_FALSE(MarkerHeldElsewhere());

    QProcess third;
    const QString thirdDir = Folder(QStringLiteral("third"));
    FolderEvents events(thirdDir.toStdString());
    Start(third, thirdDir, {QStringLiteral("VELORINE_RUN_COMMANDS=57665")});
    ASSERT_TRUE(third.waitForFinished(120000));
    EXPECT_EQ(third.exitCode(), 0);
    EXPECT_FALSE(QString::fromUtf8(third.readAllStandardError()).contains(kSecondCopyMessage));
    // It started normally, writing its working files, and left through Exit, which removed
    // them.
    ASSERT_TRUE(events.Collect());
    for (const char *name : {"temp.bmp", "Velorine256.rgb"}) {
        EXPECT_TRUE(events.appeared.count(name)) << name;
        EXPECT_TRUE(events.vanished.count(name)) << name;
    }
    EXPECT_TRUE(QDir(thirdDir).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}

TEST_F(ShellProcessTest, HelpAndVersionPrintAndExitWithoutADisplay)
{
    for (const QString &arg : {QStringLiteral("--help"), QStringLiteral("--version")}) {
        QProcess p;
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.remove(QStringLiteral("QT_QPA_PLATFORM"));
        e.remove(QStringLiteral("DISPLAY"));
        e.remove(QStringLiteral("WAYLAND_DISPLAY"));
        p.setProcessEnvironment(e);
        p.start(m_strProgram, {arg});
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 0);
        const QByteArray out = p.readAllStandardOutput();
        EXPECT_TRUE(
            out.startsWith(arg == QLatin1String("--help") ? "Usage: velorine" : "velorine "))
            << out.constData();
    }
    QProcess bad;
    Start(bad, Folder(QStringLiteral("bad")), {}, {QStringLiteral("--frobnicate")});
    ASSERT_TRUE(bad.waitForFinished(60000));
    EXPECT_EQ(bad.exitCode(), 2);
    EXPECT_TRUE(bad.readAllStandardError().contains("--frobnicate"));
}

TEST(CommandLineTest, Parse)
{
    using A = CVelorineApp::CommandLine::Action;
    EXPECT_EQ(CVelorineApp::ParseCommandLine({}).action, A::Run);
    const auto file = CVelorineApp::ParseCommandLine({QStringLiteral("pic.bmp")});
    EXPECT_EQ(file.action, A::Run);
    EXPECT_EQ(file.strFile, QStringLiteral("pic.bmp"));
    EXPECT_EQ(
        CVelorineApp::ParseCommandLine({QStringLiteral("x"), QStringLiteral("--help")}).action,
        A::Help);
    EXPECT_EQ(CVelorineApp::ParseCommandLine({QStringLiteral("--version")}).action, A::Version);
    EXPECT_EQ(CVelorineApp::ParseCommandLine({QStringLiteral("-q")}).action, A::Error);
    EXPECT_EQ(CVelorineApp::ParseCommandLine({QStringLiteral("a"), QStringLiteral("b")}).action,
              A::Error);
}

} // namespace
