// Starting through the start scripts with a file named from the user's folder, and which
// working files an exit leaves.

#include "tests/desktop/DesktopSession.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

class DesktopStart : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The scripts start the program in $XDG_DATA_HOME/velorine: the session's working folder.
        const QDir root(s.Root());
        ASSERT_TRUE(root.mkpath(QStringLiteral("data")) && root.mkpath(QStringLiteral("pics")));
        ASSERT_TRUE(QFile::link(s.WorkDir(), root.filePath(QStringLiteral("data/velorine"))));
        m_strPics = root.filePath(QStringLiteral("pics"));
        ASSERT_TRUE(
            DesktopSession::WritePicture(m_strPics + QStringLiteral("/pic.bmp"), qRgb(255, 0, 0)));
    }

    // Started from the picture's folder with its bare name: the picture fills the view.
    void OpensTheRelativeOperand(const QString &script, const QStringList &args)
    {
        ASSERT_TRUE(s.StartCommand(
            script, args, m_strPics,
            {QStringLiteral("XDG_DATA_HOME=") + s.Root() + QStringLiteral("/data")}));
        EXPECT_TRUE(s.WaitFor([&] { return s.Pixel(s.ViewRect().center()) == qRgb(255, 0, 0); }));
        EXPECT_TRUE(s.Exit());
    }

    DesktopSession s;
    QString m_strPics;
};

TEST_F(DesktopStart, TheLauncherOpensAFileNamedFromTheUsersFolder)
{
    // Installed, the launcher finds the program beside itself.
    const QDir root(s.Root());
    ASSERT_TRUE(root.mkpath(QStringLiteral("bin")));
    const QString launcher = root.filePath(QStringLiteral("bin/velorine-launch"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(VELORINE_LAUNCHER), launcher));
    ASSERT_TRUE(QFile::link(QStringLiteral(VELORINE_PROGRAM),
                            root.filePath(QStringLiteral("bin/velorine"))));
    OpensTheRelativeOperand(launcher, {QStringLiteral("pic.bmp")});
}

TEST_F(DesktopStart, TheRunScriptOpensAFileNamedFromTheUsersFolder)
{
    OpensTheRelativeOperand(QStringLiteral(VELORINE_RUN_SCRIPT),
                            {QStringLiteral(VELORINE_RUN_BUILD), QStringLiteral("pic.bmp")});
}

// Alt+X removes the working files the user can write and leaves one made read-only.
class DesktopExit : public ::testing::TestWithParam<const char *>
{
protected:
    DesktopSession s;
};

TEST_P(DesktopExit, LeavesAReadOnlyWorkingFileAndRemovesTheOther)
{
    ASSERT_TRUE(s.Start());
    const QString readOnly = s.File(QString::fromLatin1(GetParam()));
    const QString other = s.File(QString::fromLatin1(
        GetParam() == std::string("temp.bmp") ? "Velorine256.rgb" : "temp.bmp"));
    ASSERT_TRUE(QFile::exists(readOnly) && QFile::exists(other));
    ASSERT_TRUE(QFile::setPermissions(
        readOnly, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    EXPECT_TRUE(s.Exit());
    EXPECT_TRUE(QFile::exists(readOnly));
    EXPECT_FALSE(QFile::exists(other));
}

INSTANTIATE_TEST_SUITE_P(WorkingFiles, DesktopExit,
                         ::testing::Values("temp.bmp", "Velorine256.rgb"),
                         [](const ::testing::TestParamInfo<const char *> &param) {
                             return std::string(param.param) == "temp.bmp" ? "TempBmp" : "Palette";
                         });

} // namespace
