#include "platform/Providers.h"

#include <cstdio>
#include <utility>

namespace {

class StderrMessageProvider : public MessageProvider
{
public:
    int Show(const QString &text, const QString &caption, unsigned) override
    {
        std::fprintf(stderr, "%s: %s\n", caption.toUtf8().constData(), text.toUtf8().constData());
        std::fflush(stderr);
        return IDOK;
    }
};

class CancelFileDialogProvider : public FileDialogProvider
{
public:
    QString Choose(const FileDialogRequest &) override { return {}; }
};

class NoShellProvider : public ShellProvider
{
public:
    bool Open(const QString &) override { return false; }
};

// The installed provider of each kind; null until one is installed.
template<class Provider> std::unique_ptr<Provider> &Slot()
{
    static std::unique_ptr<Provider> slot;
    return slot;
}

template<class Provider> std::unique_ptr<Provider> Install(std::unique_ptr<Provider> p)
{
    std::swap(Slot<Provider>(), p);
    return p;
}

} // namespace

std::unique_ptr<MessageProvider> SetMessageProvider(std::unique_ptr<MessageProvider> p)
{
    return Install(std::move(p));
}

std::unique_ptr<FileDialogProvider> SetFileDialogProvider(std::unique_ptr<FileDialogProvider> p)
{
    return Install(std::move(p));
}

std::unique_ptr<ShellProvider> SetShellProvider(std::unique_ptr<ShellProvider> p)
{
    return Install(std::move(p));
}

MessageProvider &GetMessageProvider()
{
    static StderrMessageProvider fallback;
    if (MessagesArePrinted() || !Slot<MessageProvider>())
        return fallback;
    return *Slot<MessageProvider>();
}

FileDialogProvider &GetFileDialogProvider()
{
    static CancelFileDialogProvider fallback;
    return Slot<FileDialogProvider>() ? *Slot<FileDialogProvider>() : fallback;
}

ShellProvider &GetShellProvider()
{
    static NoShellProvider fallback;
    return Slot<ShellProvider>() ? *Slot<ShellProvider>() : fallback;
}

int MessageBox(const QString &text, const QString &caption, unsigned flags)
{
    return GetMessageProvider().Show(text, caption, flags);
}

int AfxMessageBox(const QString &text, unsigned flags)
{
    return MessageBox(text, QString::fromUtf8(kAppTitle), flags);
}

QString ChooseFile(const FileDialogRequest &request)
{
    return GetFileDialogProvider().Choose(request);
}

bool ShellExecuteOpen(const QString &target)
{
    return GetShellProvider().Open(target);
}

bool MessagesArePrinted()
{
    return qEnvironmentVariable("VELORINE_MESSAGES") == QLatin1String("print");
}
