#include "platform/CFile.h"

#include <QSaveFile>
#include <QString>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

CFileException::Cause SaveErrorCause(const QSaveFile &file, int err)
{
    if (err != 0)
        return CFileException::CauseFromErrno(err);
    switch (file.error()) {
    case QFileDevice::NoError:
        return CFileException::none;
    case QFileDevice::WriteError:
    case QFileDevice::ResourceError:
        return CFileException::diskFull;
    case QFileDevice::OpenError:
    case QFileDevice::PermissionsError:
        return CFileException::accessDenied;
    default:
        return CFileException::genericException;
    }
}

} // namespace

CFile::CFile() = default;

CFile::CFile(const char *path, unsigned flags)
{
    CFileException error(CFileException::none, path ? path : "");
    if (!Open(path, flags, &error))
        throw error;
}

CFile::~CFile()
{
    Abort();
}

bool CFile::Open(const char *path, unsigned flags, CFileException *pError)
{
    Abort();
    m_strFileName = path ? path : "";
    int oflags = O_CLOEXEC;
    switch (flags & 3) {
    case modeWrite:
        oflags |= O_WRONLY;
        break;
    case modeReadWrite:
        oflags |= O_RDWR;
        break;
    default:
        oflags |= O_RDONLY;
        break;
    }
    if (flags & modeCreate) {
        oflags |= O_CREAT;
        if (!(flags & modeNoTruncate))
            oflags |= O_TRUNC;
    }
    int fd = -1;
    int err = ENOENT;
    if (path && *path) {
        // Non-blocking, so a named pipe cannot hang the open; cleared again below.
        do {
            fd = ::open(path, oflags | O_NONBLOCK, 0666);
        } while (fd < 0 && errno == EINTR);
        err = errno;
    }
    if (fd >= 0) {
        // Folders, pipes and sockets open on Linux but are no files to the program.
        struct stat st;
        if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode) || S_ISFIFO(st.st_mode)
            || S_ISSOCK(st.st_mode)) {
            err = S_ISDIR(st.st_mode) ? EISDIR : EACCES;
            ::close(fd);
            fd = -1;
        } else {
            fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        }
    }
    if (fd < 0) {
        if (pError)
            *pError = CFileException(CFileException::CauseFromErrno(err), m_strFileName, err);
        return false;
    }
    m_hFile = fd;
    return true;
}

bool CFile::OpenForSave(const char *path, CFileException *pError)
{
    Abort();
    m_strFileName = path ? path : "";
    auto file = std::make_unique<QSaveFile>(QString::fromLocal8Bit(m_strFileName.c_str()));
    errno = 0;
    if (m_strFileName.empty() || !file->open(QIODevice::WriteOnly)) {
        const int err = errno;
        if (pError)
            *pError = CFileException(m_strFileName.empty() ? CFileException::badPath
                                                           : SaveErrorCause(*file, err),
                                     m_strFileName, err);
        return false;
    }
    m_pSave = std::move(file);
    return true;
}

void CFile::Throw(int err) const
{
    throw CFileException(CFileException::CauseFromErrno(err), m_strFileName, err);
}

template<class Io> size_t CFile::Transfer(size_t count, Io io) const
{
    if (m_hFile < 0)
        Throw(EBADF);
    size_t done = 0;
    while (done < count) {
        const ssize_t n = io(done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            Throw(errno);
        if (n == 0)
            break;
        done += size_t(n);
    }
    return done;
}

size_t CFile::Read(void *buffer, size_t count)
{
    auto *p = static_cast<uint8_t *>(buffer);
    return Transfer(count, [&](size_t done) { return ::read(m_hFile, p + done, count - done); });
}

void CFile::Write(const void *buffer, size_t count)
{
    const auto *p = static_cast<const uint8_t *>(buffer);
    if (m_pSave) {
        size_t done = 0;
        while (done < count) {
            errno = 0;
            const qint64 n
                = m_pSave->write(reinterpret_cast<const char *>(p + done), qint64(count - done));
            if (n <= 0) {
                const int err = errno;
                throw CFileException(SaveErrorCause(*m_pSave, err), m_strFileName, err);
            }
            done += size_t(n);
        }
        return;
    }
    const auto writeRest = [&](size_t done) { return ::write(m_hFile, p + done, count - done); };
    if (Transfer(count, writeRest) < count)
        Throw(ENOSPC);
}

uint64_t CFile::GetLength() const
{
    if (m_pSave)
        return uint64_t(m_pSave->size());
    struct stat st;
    if (m_hFile < 0 || fstat(m_hFile, &st) != 0)
        Throw(m_hFile < 0 ? EBADF : errno);
    return uint64_t(st.st_size);
}

void CFile::Commit()
{
    if (!m_pSave)
        Throw(EBADF);
    std::unique_ptr<QSaveFile> file = std::move(m_pSave);
    errno = 0;
    if (!file->commit()) {
        const int err = errno;
        throw CFileException(SaveErrorCause(*file, err), m_strFileName, err);
    }
}

void CFile::Close()
{
    m_pSave.reset(); // an uncommitted save file removes its temporary file
    if (m_hFile < 0)
        return;
    const int fd = m_hFile;
    m_hFile = -1;
    if (::close(fd) != 0 && errno != EINTR)
        Throw(errno);
}

void CFile::Abort()
{
    m_pSave.reset();
    if (m_hFile >= 0) {
        ::close(m_hFile);
        m_hFile = -1;
    }
}
