#pragma once
// Test helpers: providers that answer message boxes, file dialogs and shell-open without a
// window, and the paths of the source tree and the BMP corpus.

#include "platform/Providers.h"

#include <QString>
#include <deque>
#include <memory>
#include <set>
#include <string>
#include <vector>

struct ShownMessage
{
    QString text;
    QString caption;
    unsigned flags;
};

// Records every message box and answers with the primed results (IDOK when none is primed).
class TestMessages : public MessageProvider
{
public:
    int Show(const QString &text, const QString &caption, unsigned flags) override;
    std::deque<int> answers;
    std::vector<ShownMessage> shown;
};

class TestFileDialogs : public FileDialogProvider
{
public:
    QString Choose(const FileDialogRequest &request) override;
    std::deque<QString> answers; // empty string: the user cancels
    std::vector<FileDialogRequest> requests;
};

class TestShell : public ShellProvider
{
public:
    bool Open(const QString &target) override;
    std::vector<QString> opened;
};

// Installs the three test providers for the life of the object and gives access to them.
class ScopedTestProviders
{
public:
    ScopedTestProviders();
    ~ScopedTestProviders();
    TestMessages &messages() { return *m_pMessages; }
    TestFileDialogs &files() { return *m_pFiles; }
    TestShell &shell() { return *m_pShell; }

private:
    TestMessages *m_pMessages;
    TestFileDialogs *m_pFiles;
    TestShell *m_pShell;
};

std::string SourceDir();
std::string BinaryDir();
std::string CorpusDir();
// Whole file as bytes; empty when it cannot be read.
std::vector<unsigned char> ReadFileBytes(const std::string &path);
void WriteFileBytes(const std::string &path, const std::vector<unsigned char> &bytes);

// The names that appeared in and vanished from one folder while the object lived, as the
// kernel reported them, so even a file that existed for a moment shows.
class FolderEvents
{
public:
    explicit FolderEvents(const std::string &dir);
    ~FolderEvents();
    FolderEvents(const FolderEvents &) = delete;
    FolderEvents &operator=(const FolderEvents &) = delete;
    // Takes in what has been reported so far; false when the folder could not be watched.
    bool Collect();
    std::set<std::string> appeared;
    std::set<std::string> vanished;

private:
    int m_fd = -1;
};
