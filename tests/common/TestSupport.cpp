#include "tests/common/TestSupport.h"

#include <fstream>
#include <iterator>

int TestMessages::Show(const QString &text, const QString &caption, unsigned flags)
{
    shown.push_back({ text, caption, flags });
    if (answers.empty())
        return IDOK;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

QString TestFileDialogs::Choose(const FileDialogRequest &request)
{
    requests.push_back(request);
    if (answers.empty())
        return {};
    QString answer = answers.front();
    answers.pop_front();
    return answer;
}

bool TestShell::Open(const QString &target)
{
    opened.push_back(target);
    return true;
}

ScopedTestProviders::ScopedTestProviders()
{
    auto messages = std::make_unique<TestMessages>();
    auto files = std::make_unique<TestFileDialogs>();
    auto shell = std::make_unique<TestShell>();
    m_pMessages = messages.get();
    m_pFiles = files.get();
    m_pShell = shell.get();
    SetMessageProvider(std::move(messages));
    SetFileDialogProvider(std::move(files));
    SetShellProvider(std::move(shell));
}

ScopedTestProviders::~ScopedTestProviders()
{
    SetMessageProvider(nullptr);
    SetFileDialogProvider(nullptr);
    SetShellProvider(nullptr);
}

std::string SourceDir() { return VELORINE_SOURCE_DIR; }
std::string BinaryDir() { return VELORINE_BINARY_DIR; }
std::string CorpusDir() { return VELORINE_CORPUS_DIR; }

std::vector<unsigned char> ReadFileBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

void WriteFileBytes(const std::string &path, const std::vector<unsigned char> &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
}
