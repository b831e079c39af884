// Pictures in and out: Open, Save, Save As, the palette choice and the clipboard copy.

#include "view/CVelorineView.h"

#include "platform/Guard.h"
#include "platform/Providers.h"
#include "view/CVelorineDoc.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <unistd.h>

namespace {

const QString kBmpFilter = QStringLiteral("BMP Files(*.BMP)|*.BMP||");
const QString kPaletteFilter = QStringLiteral("Bitmap Palette Files(*.RGB)|*.RGB||");

const QString kPictureFolderKey = QStringLiteral("Folders/Pictures");
const QString kPaletteFolderKey = QStringLiteral("Folders/Palettes");

// Where a file dialog opens: the folder of the user's last choice of that kind, kept in the
// settings; the first time (or when that folder is gone) the user's Pictures folder, else the
// home folder. Never the working folder, where temp.bmp would be easy to save over.
QString StartFolder(const QString &key)
{
    const QString remembered = QSettings().value(key).toString();
    if (!remembered.isEmpty() && QFileInfo(remembered).isDir())
        return remembered;
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && QFileInfo(pictures).isDir())
        return pictures;
    return QDir::homePath();
}

void RememberFolder(const QString &key, const QString &chosen)
{
    QSettings settings;
    settings.setValue(key, QFileInfo(chosen).absolutePath());
    settings.sync();
}

FileDialogRequest OpenRequest(const QString &filter, const QString &folderKey)
{
    FileDialogRequest request;
    request.bOpen = true;
    request.strFilter = filter;
    request.nFlags = OFN_HIDEREADONLY;
    request.strStartDir = StartFolder(folderKey);
    return request;
}

// Shows the dialog; a choice moves the folder the next dialog of its kind opens in.
QString ChooseFileIn(const FileDialogRequest &request, const QString &folderKey)
{
    const QString path = ChooseFile(request);
    if (!path.isEmpty())
        RememberFolder(folderKey, path);
    return path;
}

std::string NativePath(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

// Why a file could not be written, in the user's words; errno is the one left by the failed save.
QString SaveFailureReason(const std::string &path, int err)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path target(path);
    const fs::path parent = target.has_parent_path() ? target.parent_path() : fs::path(".");
    if (fs::is_directory(target, ec))
        return QStringLiteral("这是一个文件夹，不是文件");
    if (!fs::exists(parent, ec))
        return QStringLiteral("所在的文件夹不存在");
    if (!fs::is_directory(parent, ec))
        return QStringLiteral("路径中有一部分不是文件夹");
    switch (err) {
    case EACCES:
    case EPERM:
        return QStringLiteral("没有写入权限");
    case EROFS:
        return QStringLiteral("磁盘是只读的");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("磁盘空间不足");
    case ENAMETOOLONG:
        return QStringLiteral("文件名太长");
    default:
        break;
    }
    if (::access(parent.c_str(), W_OK) != 0)
        return QStringLiteral("没有写入权限");
    return QStringLiteral("写入文件时发生错误");
}

} // namespace

bool CVelorineView::OpenPictureFile(const QString &path)
{
    bool bLoaded = false;
    AfxGuard([&] { bLoaded = m_dib.Load(NativePath(path).c_str()); });
    if (bLoaded)
        ShowNewPicture();
    return bLoaded;
}

void CVelorineView::OnFileOpen()
{
    const QString path
        = ChooseFileIn(OpenRequest(kBmpFilter, kPictureFolderKey), kPictureFolderKey);
    if (!path.isEmpty())
        OpenPictureFile(path);
}

void CVelorineView::OnFileSaveAs()
{
    if (!m_dib.m_pData)
        return;
    FileDialogRequest request;
    request.bOpen = false;
    request.strDefExt = QStringLiteral("bmp");
    request.strFilter = kBmpFilter;
    request.nFlags = OFN_HIDEREADONLY;
    request.strStartDir = StartFolder(kPictureFolderKey);
    const QString path = ChooseFileIn(request, kPictureFolderKey);
    if (path.isEmpty())
        return;
    m_dib.m_strFileName = NativePath(path);
    SaveTo(m_dib.m_strFileName);
}

void CVelorineView::OnFileSave()
{
    if (!m_dib.m_pData)
        return;
    if (m_dib.m_strFileName.empty()) {
        OnFileSaveAs();
        return;
    }
    SaveTo(m_dib.m_strFileName);
}

bool CVelorineView::SaveTo(const std::string &path)
{
    errno = 0;
    if (m_dib.Save(path.c_str()))
        return true;
    SaveFailed(path);
    return false;
}

void CVelorineView::SaveFailed(const std::string &path)
{
    const int err = errno;
    AfxMessageBox(QStringLiteral("无法保存文件 %1：%2。")
                      .arg(QFile::decodeName(path.c_str()), SaveFailureReason(path, err)),
                  MB_OK | MB_ICONEXCLAMATION);
}

void CVelorineView::OnLoadPalette()
{
    const QString path
        = ChooseFileIn(OpenRequest(kPaletteFilter, kPaletteFolderKey), kPaletteFolderKey);
    if (!path.isEmpty())
        GetDocument()->m_strPalettePath = NativePath(path);
}

QImage CVelorineView::CopyImage()
{
    const QRect client = GetClientRect();
    QRect wanted = client;
    // Select All's corners were screen positions of the client area when it ran; the window
    // may have moved or changed size since, so they stand for the whole client area as it is.
    const bool bWholeArea = m_selectAllCorners
        && *m_selectAllCorners == std::array<int, 4> {m_nSelX1, m_nSelY1, m_nSelX2, m_nSelY2};
    if (m_bSelectionShown && !bWholeArea) {
        const QPoint p1(m_nSelX1, m_nSelY1);
        const QPoint p2(m_nSelX2, m_nSelY2);
        // Corners are edges, as the band draws them: right and bottom are exclusive.
        const int left = std::min(p1.x(), p2.x());
        const int top = std::min(p1.y(), p2.y());
        wanted = QRect(left, top, std::max(p1.x(), p2.x()) - left, std::max(p1.y(), p2.y()) - top)
            & client;
    }
    if (wanted.isEmpty())
        return QImage();

    QImage drawing(client.size(), QImage::Format_RGB32);
    {
        QPainter painter(&drawing);
        CDC dc(&painter, &drawing);
        dc.PatBlt(0, 0, client.width(), client.height(), WHITENESS);
        // As on screen, but without the screen's mapping: device pixels from the top-left.
        OnDraw(&dc);
    }
    return drawing.copy(wanted);
}

void CVelorineView::OnEditCopy()
{
    const QImage image = CopyImage();
    if (!image.isNull())
        QGuiApplication::clipboard()->setImage(image);
}

void CVelorineView::OnUpdateEditCopy(CCmdUI *pCmdUI)
{
    pCmdUI->Enable(m_bSelectionShown);
}
