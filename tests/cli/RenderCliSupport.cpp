#include "tests/cli/RenderCliSupport.h"

#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <QProcess>

#include <filesystem>

RunResult Render(const QStringList &args, const std::function<void()> &childSetup)
{
    const std::string program = BinaryDir() + "/cli/velorine-render";
    EXPECT_TRUE(std::filesystem::exists(program)) << program << " is not built";
    QProcess process;
    if (childSetup)
        process.setChildProcessModifier(childSetup);
    process.start(QString::fromStdString(program), args);
    process.waitForFinished(300000);
    RunResult run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.outBytes = process.readAllStandardOutput();
    run.out = QString::fromLocal8Bit(run.outBytes);
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

std::string Identify(const std::string &path)
{
    QProcess process;
    process.start("identify", {"-format", "%wx%h", QString::fromStdString(path)});
    process.waitForFinished(60000);
    return process.exitCode() == 0 ? process.readAllStandardOutput().toStdString() : "";
}

std::string CountDifferentPixels(const std::string &a, const std::string &b)
{
    QProcess compare;
    compare.start("compare",
                  {"-metric", "AE", QString::fromStdString(a), QString::fromStdString(b), "null:"});
    compare.waitForFinished(60000);
    return compare.readAllStandardError().trimmed().toStdString();
}
