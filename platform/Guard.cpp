#include "platform/Guard.h"

#include "platform/Providers.h"

#include <cstdio>

QString FileExceptionMessage(const CFileException &e)
{
    const QString path = QString::fromStdString(e.m_strFileName);
    switch (e.m_cause) {
    case CFileException::fileNotFound:
        return QStringLiteral("没有找到 %1。").arg(path);
    case CFileException::badPath:
        return QStringLiteral("%1 的路径无效。").arg(path);
    case CFileException::tooManyOpenFiles:
        return QStringLiteral("打开的文件过多，无法打开 %1。").arg(path);
    case CFileException::accessDenied:
        return QStringLiteral("拒绝访问 %1。").arg(path);
    case CFileException::diskFull:
        return QStringLiteral("磁盘已满，写入 %1 失败。").arg(path);
    case CFileException::hardIO:
        return QStringLiteral("读写 %1 时发生硬件错误。").arg(path);
    case CFileException::sharingViolation:
        return QStringLiteral("%1 正被另一程序使用。").arg(path);
    default:
        return QStringLiteral("访问 %1 时发生意外错误。").arg(path);
    }
}

void ReportFileException(const CFileException &e)
{
    AfxMessageBox(FileExceptionMessage(e), MB_OK | MB_ICONEXCLAMATION);
}

void ReportMemoryException()
{
    AfxMessageBox(QStringLiteral("内存不足。"), MB_OK | MB_ICONSTOP);
}

void ReportUnexpectedException(const char *what)
{
    if (what)
        std::fprintf(stderr, "velorine: %s\n", what);
    AfxMessageBox(QStringLiteral("发生了意外错误，操作已取消。"), MB_OK | MB_ICONSTOP);
}
