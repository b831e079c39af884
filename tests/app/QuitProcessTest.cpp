// The two ways out of the real program: the context menu's quit leaves the working files in the
// current directory, the main exit command removes them. Each run is a separate process of the
// built program in a fresh directory.

#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <filesystem>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class QuitProcessTest : public ::testing::Test
{
protected:
    // Starts the program in dir, runs the commands once its message loop runs and waits for
    // it to end; returns its exit code, or -1 when it did not end normally.
    int RunProgram(const fs::path &dir, const QString &commands)
    {
        const QString program = QString::fromStdString(BinaryDir() + "/app/velorine");
        if (!QFileInfo::exists(program)) {
            ADD_FAILURE() << program.toStdString() << " is not built (target velorine)";
            return -1;
        }
        fs::create_directories(dir);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("VELORINE_MESSAGES"), QStringLiteral("print"));
        env.insert(QStringLiteral("VELORINE_INSTANCE_NAME"),
                   QStringLiteral("velorine-quit-test-%1").arg(getpid()));
        env.insert(QStringLiteral("VELORINE_RUN_COMMANDS"), commands);
        QProcess process;
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(QString::fromStdString(dir.string()));
        process.setProcessChannelMode(QProcess::ForwardedChannels);
        process.start(program, {});
        if (!process.waitForStarted() || !process.waitForFinished(240000)) {
            process.kill();
            process.waitForFinished();
            ADD_FAILURE() << "the program did not end";
            return -1;
        }
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
};

TEST_F(QuitProcessTest, TheContextMenusQuitLeavesTheWorkingFilesAndExitRemovesThem)
{
    const fs::path quit = fs::current_path() / "quit";
    EXPECT_EQ(RunProgram(quit, QStringLiteral("32809")), 0);
    EXPECT_TRUE(fs::exists(quit / "temp.bmp"));
    EXPECT_TRUE(fs::exists(quit / "Velorine256.rgb"));
    EXPECT_EQ(fs::file_size(quit / "Velorine256.rgb"), 1024u);

    // Alt+X is the main exit command.
    const fs::path exit = fs::current_path() / "exit";
    fs::create_directories(exit);
    FolderEvents events(exit.string());
    EXPECT_EQ(RunProgram(exit, QStringLiteral("57665")), 0);
    // It wrote its working files on starting; Exit removed them.
    ASSERT_TRUE(events.Collect());
    for (const char *name : {"temp.bmp", "Velorine256.rgb"}) {
        EXPECT_TRUE(events.appeared.count(name)) << name;
        EXPECT_TRUE(events.vanished.count(name)) << name;
        EXPECT_FALSE(fs::exists(exit / name)) << name;
    }
}

} // namespace
