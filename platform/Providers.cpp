#include "platform/Providers.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>
#include <cstdio>

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

class DesktopShellProvider : public ShellProvider
{
public:
    bool Open(const QString &target) override
    {
        const QUrl url = target.contains(QLatin1Char(':')) && !QFileInfo::exists(target)
            ? QUrl(target)
            : QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath());
        return QDesktopServices::openUrl(url);
    }
};

std::unique_ptr<MessageProvider> &MessageSlot()
{
    static std::unique_ptr<MessageProvider> slot;
    return slot;
}
std::unique_ptr<FileDialogProvider> &FileDialogSlot()
{
    static std::unique_ptr<FileDialogProvider> slot;
    return slot;
}
std::unique_ptr<ShellProvider> &ShellSlot()
{
    static std::unique_ptr<ShellProvider> slot;
    return slot;
}

} // namespace

std::unique_ptr<MessageProvider> SetMessageProvider(std::unique_ptr<MessageProvider> p)
{
    auto old = std::move(MessageSlot());
    MessageSlot() = std::move(p);
    return old;
}

std::unique_ptr<FileDialogProvider> SetFileDialogProvider(std::unique_ptr<FileDialogProvider> p)
{
    auto old = std::move(FileDialogSlot());
    FileDialogSlot() = std::move(p);
    return old;
}

std::unique_ptr<ShellProvider> SetShellProvider(std::unique_ptr<ShellProvider> p)
{
    auto old = std::move(ShellSlot());
    ShellSlot() = std::move(p);
    return old;
}

MessageProvider &GetMessageProvider()
{
    static StderrMessageProvider fallback;
    if (MessagesArePrinted() || !MessageSlot())
        return fallback;
    return *MessageSlot();
}

FileDialogProvider &GetFileDialogProvider()
{
    static CancelFileDialogProvider fallback;
    return FileDialogSlot() ? *FileDialogSlot() : fallback;
}

ShellProvider &GetShellProvider()
{
    static DesktopShellProvider fallback;
    return ShellSlot() ? *ShellSlot() : fallback;
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
