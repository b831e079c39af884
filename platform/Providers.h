#pragma once
// The program's ways out to the user and the desktop: message boxes, file dialogs and
// shell-open. Each goes through a provider, so the window program shows real dialogs, the
// renderer prints to standard error, and tests prime answers and read what was shown.

#include <QString>
#include <memory>

// MessageBox flags and results, as the original platform numbers them.
constexpr unsigned MB_OK = 0x0000;
constexpr unsigned MB_OKCANCEL = 0x0001;
constexpr unsigned MB_ICONSTOP = 0x0010;
constexpr unsigned MB_ICONQUESTION = 0x0020;
constexpr unsigned MB_ICONEXCLAMATION = 0x0030;
constexpr unsigned MB_TYPEMASK = 0x000F;
constexpr unsigned MB_ICONMASK = 0x00F0;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

// File-dialog flag: the only one the program passes.
constexpr unsigned OFN_HIDEREADONLY = 0x00000004;

class MessageProvider
{
public:
    virtual ~MessageProvider() = default;
    // Shows text under caption with the buttons and icon of flags; returns IDOK, IDCANCEL, ...
    virtual int Show(const QString &text, const QString &caption, unsigned flags) = 0;
};

struct FileDialogRequest
{
    bool bOpen = true; // open form, else save form
    QString strDefExt; // default extension without dot, empty for none
    QString strFilter; // the framework's filter string, "Name(*.EXT)|*.EXT||"
    unsigned nFlags = 0;
    QString strStartDir; // folder the dialog opens in; empty for the user's home folder
};

class FileDialogProvider
{
public:
    virtual ~FileDialogProvider() = default;
    // Returns the chosen full path, or an empty string when the user cancels.
    virtual QString Choose(const FileDialogRequest &request) = 0;
};

class ShellProvider
{
public:
    virtual ~ShellProvider() = default;
    // Opens a file (relative names against the current directory) or an address with the
    // verb "open". Returns true when something was started.
    virtual bool Open(const QString &target) = 0;
};

// Installs a provider; returns the previous one. Null restores the built-in default
// (stderr for messages, cancel for file dialogs, nothing opened for shell-open).
std::unique_ptr<MessageProvider> SetMessageProvider(std::unique_ptr<MessageProvider> p);
std::unique_ptr<FileDialogProvider> SetFileDialogProvider(std::unique_ptr<FileDialogProvider> p);
std::unique_ptr<ShellProvider> SetShellProvider(std::unique_ptr<ShellProvider> p);

MessageProvider &GetMessageProvider();
FileDialogProvider &GetFileDialogProvider();
ShellProvider &GetShellProvider();

// The original platform's calls, through the providers.
int MessageBox(const QString &text, const QString &caption, unsigned flags = MB_OK);
int AfxMessageBox(const QString &text, unsigned flags = MB_OK); // caption "Velorine"
QString ChooseFile(const FileDialogRequest &request);
bool ShellExecuteOpen(const QString &target);

// When VELORINE_MESSAGES=print is set, message boxes print their text to standard error and
// take their default answer (IDOK, or IDCANCEL where there is no OK): used by tests that run a
// real second process.
bool MessagesArePrinted();

// The application title, the caption of the framework's own message boxes.
inline const char *kAppTitle = "Velorine";
