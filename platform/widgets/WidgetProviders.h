#pragma once
// The window program's message boxes, file dialogs and shell-open.

#include "platform/Providers.h"

#include <QByteArray>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QUrl>

// Installs the three providers below.
void InstallWidgetProviders();

// A QMessageBox with no owner (application-modal), centred on the main window, with the icon
// and Chinese buttons the flags ask for.
class WidgetMessageProvider : public MessageProvider
{
public:
    int Show(const QString &text, const QString &caption, unsigned flags) override;
};

// A Qt file dialog; extensions match in any letter case.
class WidgetFileDialogProvider : public FileDialogProvider
{
public:
    QString Choose(const FileDialogRequest &request) override;
};

class DesktopShellOpenProvider : public ShellProvider
{
public:
    bool Open(const QString &target) override;
};

// "BMP Files(*.BMP)|*.BMP||" -> { "BMP Files(*.BMP) (*.BMP)" }: the name as shown, the
// patterns in the form Qt reads.
QStringList FileDialogFilters(const QString &strFilter);
// The chosen name with the default extension added when it has none.
QString WithDefaultExtension(const QString &path, const QString &strDefExt);
// The box moved as little as it takes to lie wholly inside screen; a box larger than the screen
// keeps its top left corner on it.
QRect KeptOnScreen(const QRect &box, const QRect &screen);
// True when the bytes start like an HTML document.
bool LooksLikeHtml(const QByteArray &head);
// What to hand to the desktop for target: an address as it is, a local file as a file URL, an
// HTML file under another name as a .html copy in strCopyDir. Empty when nothing can show it.
QUrl ShellOpenUrl(const QString &target, const QString &strCopyDir);
