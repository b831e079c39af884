#include "platform/widgets/WidgetProviders.h"

#include "platform/widgets/CFrameWnd.h"
#include "platform/widgets/CWinApp.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>

#include <algorithm>

namespace {

QMessageBox::Icon IconOf(unsigned flags)
{
    switch (flags & MB_ICONMASK) {
    case MB_ICONSTOP:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    default:
        return QMessageBox::NoIcon;
    }
}

// "bmp" for ".bmp" or "bmp".
QString BareExtension(QString ext)
{
    while (ext.startsWith(QLatin1Char('.')))
        ext.remove(0, 1);
    return ext;
}

// Centred on the main window, but never partly off the screen that window is on: a window at
// the screen's edge would otherwise cut its box, icon and buttons off.
void CentreOnMainWindow(QWidget *box)
{
    box->adjustSize();
    QRect area;
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (const CFrameWnd *frame = AfxGetMainWnd(); frame && frame->isVisible()) {
        area = frame->frameGeometry();
        screen = frame->screen();
    } else if (screen) {
        area = screen->availableGeometry();
    }
    if (!area.isValid())
        return;
    QRect placed = box->frameGeometry();
    placed.moveCenter(area.center());
    if (screen)
        placed = KeptOnScreen(placed, screen->availableGeometry());
    box->move(placed.topLeft());
}

} // namespace

void InstallWidgetProviders()
{
    SetMessageProvider(std::make_unique<WidgetMessageProvider>());
    SetFileDialogProvider(std::make_unique<WidgetFileDialogProvider>());
    SetShellProvider(std::make_unique<DesktopShellOpenProvider>());
}

int WidgetMessageProvider::Show(const QString &text, const QString &caption, unsigned flags)
{
    QMessageBox box(IconOf(flags), caption, text);
    box.setWindowModality(Qt::ApplicationModal);
    QPushButton *pOk = box.addButton(QString::fromUtf8("确定"), QMessageBox::AcceptRole);
    QPushButton *pCancel = (flags & MB_TYPEMASK) == MB_OKCANCEL
        ? box.addButton(QString::fromUtf8("取消"), QMessageBox::RejectRole)
        : nullptr;
    box.setDefaultButton(pOk);
    box.setEscapeButton(pCancel ? pCancel : pOk);
    CentreOnMainWindow(&box);
    box.exec();
    // Closed any other way: the escape button's answer.
    return pCancel && box.clickedButton() != pOk ? IDCANCEL : IDOK;
}

QRect KeptOnScreen(const QRect &box, const QRect &screen)
{
    const auto along = [](int start, int length, int first, int span) {
        return std::max(first, std::min(start, first + span - length));
    };
    return {along(box.left(), box.width(), screen.left(), screen.width()),
            along(box.top(), box.height(), screen.top(), screen.height()), box.width(),
            box.height()};
}

QStringList FileDialogFilters(const QString &strFilter)
{
    QStringList filters;
    const QStringList parts = strFilter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty())
            break;
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
    }
    return filters;
}

QString WithDefaultExtension(const QString &path, const QString &strDefExt)
{
    const QString ext = BareExtension(strDefExt);
    if (path.isEmpty() || ext.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    return path + QLatin1Char('.') + ext;
}

QString WidgetFileDialogProvider::Choose(const FileDialogRequest &request)
{
    QFileDialog dialog(AfxGetMainWnd());
    // Qt's own dialog matches the patterns in any letter case, so *.BMP finds a.bmp.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(request.bOpen ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(request.bOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // The program never asks before replacing a file it saves over.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    // Never the working folder by default: the program's own files live there.
    dialog.setDirectory(request.strStartDir.isEmpty() ? QDir::homePath() : request.strStartDir);
    const QString ext = BareExtension(request.strDefExt);
    if (!ext.isEmpty())
        dialog.setDefaultSuffix(ext);
    const QStringList filters = FileDialogFilters(request.strFilter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    dialog.setWindowTitle(QString::fromUtf8(request.bOpen ? "打开" : "另存为"));
    dialog.setLabelText(QFileDialog::Accept, QString::fromUtf8(request.bOpen ? "打开" : "保存"));
    dialog.setLabelText(QFileDialog::Reject, QString::fromUtf8("取消"));
    dialog.setLabelText(QFileDialog::LookIn, QString::fromUtf8("查找范围:"));
    dialog.setLabelText(QFileDialog::FileName, QString::fromUtf8("文件名:"));
    dialog.setLabelText(QFileDialog::FileType, QString::fromUtf8("文件类型:"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString chosen = dialog.selectedFiles().constFirst();
    return request.bOpen ? chosen : WithDefaultExtension(chosen, ext);
}

bool LooksLikeHtml(const QByteArray &head)
{
    QByteArray text = head.trimmed().left(512).toLower();
    if (text.startsWith("\xef\xbb\xbf"))
        text = text.mid(3).trimmed();
    return text.startsWith("<!doctype html") || text.startsWith("<html")
        || (text.startsWith("<?xml") && text.contains("<html"));
}

QUrl ShellOpenUrl(const QString &target, const QString &strCopyDir)
{
    const QFileInfo info(target);
    if (!info.exists()) {
        const QUrl url(target, QUrl::StrictMode);
        if (url.isValid() && url.scheme().size() > 1)
            return url;
        return {};
    }
    if (!info.isFile())
        return QUrl::fromLocalFile(info.absoluteFilePath());
    const QString suffix = info.suffix().toLower();
    if (suffix == QLatin1String("html") || suffix == QLatin1String("htm"))
        return QUrl::fromLocalFile(info.absoluteFilePath());
    QFile file(info.absoluteFilePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    if (!LooksLikeHtml(file.read(1024)))
        return QUrl::fromLocalFile(info.absoluteFilePath());
    // A browser decides by the name, so an HTML help file under another name gets a copy.
    if (strCopyDir.isEmpty() || !QDir().mkpath(strCopyDir))
        return {};
    const QString copy
        = QDir(strCopyDir).filePath(info.completeBaseName() + QStringLiteral(".html"));
    QFile::remove(copy);
    if (!QFile::copy(info.absoluteFilePath(), copy))
        return {};
    return QUrl::fromLocalFile(copy);
}

bool DesktopShellOpenProvider::Open(const QString &target)
{
    // VELORINE_SHELL_OPEN names a program that opens targets in the desktop's place: it gets
    // the target as its one argument (for tests, and for desktops without a URL handler).
    if (const QString opener = qEnvironmentVariable("VELORINE_SHELL_OPEN"); !opener.isEmpty())
        return QProcess::startDetached(opener, {target});
    QString base = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (base.isEmpty())
        base = QDir::tempPath();
    const QUrl url = ShellOpenUrl(target, QDir(base).filePath(QStringLiteral("velorine")));
    return url.isValid() && QDesktopServices::openUrl(url);
}
