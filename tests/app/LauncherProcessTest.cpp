// The two start scripts change into the working folder before starting the program, so file
// operands typed relative to the user's folder must reach it absolute, and options unchanged.
// Each script runs against a recording stand-in for the program.

#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

class LauncherProcessTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_root = fs::current_path();
        fs::create_directories(m_root / "user" / "sub");
    }
    // A program that writes its current folder and then each argument, one a line.
    void WriteRecorder(const fs::path &path)
    {
        fs::create_directories(path.parent_path());
        std::ofstream(path) << "#!/bin/sh\n"
                               "pwd > \"$VELORINE_RECORD\"\n"
                               "for a do printf '%s\\n' \"$a\" >> \"$VELORINE_RECORD\"; done\n";
        fs::permissions(path, fs::perms::owner_all, fs::perm_options::add);
    }
    // Runs script with the shell given from the user's folder; returns the recorded lines.
    QStringList Run(const QString &shell, const fs::path &script, const QStringList &args)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"),
                   QString::fromStdString((m_root / "data").string()));
        env.insert(QStringLiteral("VELORINE_RECORD"), Path("record.txt"));
        env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":0"));
        QProcess process;
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(Path("user"));
        process.setProcessChannelMode(QProcess::ForwardedChannels);
        process.start(shell, QStringList {QString::fromStdString(script.string())} + args);
        if (!process.waitForStarted() || !process.waitForFinished(60000)) {
            process.kill();
            process.waitForFinished();
            ADD_FAILURE() << "the script did not end";
            return {};
        }
        EXPECT_EQ(process.exitCode(), 0);
        const auto bytes = ReadFileBytes((m_root / "record.txt").string());
        QString text = QString::fromUtf8(reinterpret_cast<const char *>(bytes.data()),
                                         qsizetype(bytes.size()));
        if (text.endsWith(QLatin1Char('\n')))
            text.chop(1);
        return text.split(QLatin1Char('\n'));
    }
    QString Path(const char *name) const
    {
        return QString::fromStdString((m_root / name).string());
    }
    // What every case passes, and what the program must receive for it.
    static QStringList Given()
    {
        return {QStringLiteral("pic.bmp"),
                QStringLiteral("-platform"),
                QStringLiteral("xcb"),
                QStringLiteral("-style"),
                QStringLiteral("Fusion"),
                QStringLiteral("--help"),
                QStringLiteral("sub/b.bmp"),
                QStringLiteral("/abs/c.bmp"),
                QStringLiteral("-style=Windows"),
                QStringLiteral("with space.bmp"),
                QStringLiteral("../up.bmp"),
                QStringLiteral("--"),
                QStringLiteral("-dash.bmp")};
    }
    QStringList Expected() const
    {
        const QString user = Path("user");
        return {Path("data") + QStringLiteral("/velorine"),
                user + QStringLiteral("/pic.bmp"),
                QStringLiteral("-platform"),
                QStringLiteral("xcb"),
                QStringLiteral("-style"),
                QStringLiteral("Fusion"),
                QStringLiteral("--help"),
                user + QStringLiteral("/sub/b.bmp"),
                QStringLiteral("/abs/c.bmp"),
                QStringLiteral("-style=Windows"),
                user + QStringLiteral("/with space.bmp"),
                user + QStringLiteral("/../up.bmp"),
                user + QStringLiteral("/-dash.bmp")};
    }

    fs::path m_root;
};

TEST_F(LauncherProcessTest, TheDesktopLauncherMakesFileOperandsAbsolute)
{
    const fs::path bin = m_root / "prefix" / "bin";
    fs::create_directories(bin);
    fs::copy_file(SourceDir() + "/res/desktop/velorine-launch", bin / "velorine-launch");
    WriteRecorder(bin / "velorine");
    EXPECT_EQ(Run(QStringLiteral("/bin/sh"), bin / "velorine-launch", Given()), Expected());
    EXPECT_EQ(Run(QStringLiteral("/bin/sh"), bin / "velorine-launch", {}),
              QStringList {Path("data") + QStringLiteral("/velorine")});
}

TEST_F(LauncherProcessTest, TheRunScriptMakesFileOperandsAbsolute)
{
    const fs::path top = m_root / "tree";
    fs::create_directories(top / "scripts");
    fs::copy_file(SourceDir() + "/scripts/run.sh", top / "scripts" / "run.sh");
    WriteRecorder(top / "out" / "app" / "velorine");
    EXPECT_EQ(Run(QStringLiteral("/bin/bash"), top / "scripts" / "run.sh",
                  QStringList {QStringLiteral("out")} + Given()),
              Expected());
}

} // namespace
