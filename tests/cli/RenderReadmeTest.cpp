// The README's renderer examples, read out of README.md, give the bytes they gave before the
// command line was read by CLI11 (the digests in readme-examples.sha256), so the README, the
// parser and this test cannot drift apart.

#include "tests/cli/RenderCliSupport.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// The command lines of the first code block under the README's renderer heading.
std::vector<QStringList> ReadmeExamples()
{
    std::ifstream readme(SourceDir() + "/README.md");
    std::vector<QStringList> examples;
    std::string line;
    bool inSection = false;
    int fences = 0;
    while (std::getline(readme, line) && fences < 2) {
        if (line.rfind("## ", 0) == 0)
            inSection = line == "## The headless renderer";
        else if (inSection && line.rfind("```", 0) == 0)
            ++fences;
        else if (inSection && fences == 1 && line.rfind("velorine-render ", 0) == 0)
            examples.push_back(QString::fromStdString(line).split(' ', Qt::SkipEmptyParts).mid(1));
    }
    return examples;
}

std::string Digest(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().toStdString();
}

TEST(RenderReadmeTest, TheExamplesGiveTheSameBytes)
{
    const std::vector<QStringList> examples = ReadmeExamples();
    ASSERT_GE(examples.size(), 5u) << "the README's renderer examples were not found";
    // The picture the open example reads.
    ASSERT_EQ(Render({"mandelbrot", "-o", "picture.bmp"}).exitCode, 0);
    QByteArray out;
    for (const QStringList &args : examples) {
        const RunResult run = Render(args);
        EXPECT_EQ(run.exitCode, 0) << args.join(' ').toStdString() << run.err.toStdString();
        out += run.outBytes;
    }
    std::map<std::string, std::string> got {{"(standard output)", Digest(out)}};
    for (const auto &entry : fs::directory_iterator(".")) {
        QFile file(QString::fromStdString(entry.path().string()));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        got[entry.path().filename().string()] = Digest(file.readAll());
    }
    std::map<std::string, std::string> expected;
    std::ifstream sums(SourceDir() + "/tests/cli/readme-examples.sha256");
    for (std::string line; std::getline(sums, line);)
        expected[line.substr(66)] = line.substr(0, 64);
    EXPECT_EQ(got, expected);
}

} // namespace
