#include "tests/common/TestSupport.h"

#include <fstream>
#include <iterator>
#include <sys/inotify.h>
#include <unistd.h>

int TestMessages::Show(const QString &text, const QString &caption, unsigned flags)
{
    shown.push_back({text, caption, flags});
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

std::string SourceDir()
{
    return VELORINE_SOURCE_DIR;
}
std::string BinaryDir()
{
    return VELORINE_BINARY_DIR;
}
std::string CorpusDir()
{
    return VELORINE_CORPUS_DIR;
}

std::vector<unsigned char> ReadFileBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const std::string &path, const std::vector<unsigned char> &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
}

FolderEvents::FolderEvents(const std::string &dir)
{
    m_fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_fd >= 0
        && inotify_add_watch(m_fd, dir.c_str(), IN_CREATE | IN_MOVED_TO | IN_DELETE | IN_MOVED_FROM)
            < 0) {
        close(m_fd);
        m_fd = -1;
    }
}

FolderEvents::~FolderEvents()
{
    if (m_fd >= 0)
        close(m_fd);
}

bool FolderEvents::Collect()
{
    if (m_fd < 0)
        return false;
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t n = read(m_fd, buffer, sizeof buffer);
        if (n <= 0)
            return true;
        for (ssize_t at = 0; at < n;) {
            const auto *e = reinterpret_cast<const inotify_event *>(buffer + at);
            if (e->len > 0) {
                if (e->mask & (IN_CREATE | IN_MOVED_TO))
                    appeared.insert(e->name);
                if (e->mask & (IN_DELETE | IN_MOVED_FROM))
                    vanished.insert(e->name);
            }
            at += ssize_t(sizeof(inotify_event) + e->len);
        }
    }
}
