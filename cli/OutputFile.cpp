#include "cli/OutputFile.h"

#include "cli/InterruptCleanup.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <ostream>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

OutputFile::OutputFile(std::string target) : m_strTarget(std::move(target)) { }

OutputFile::~OutputFile()
{
    if (!m_strTemp.empty() && !m_bCommitted) {
        ::unlink(m_strTemp.c_str());
        ForgetTemporary(m_strTemp.c_str());
    }
}

bool OutputFile::WritesInPlace(const std::string &target)
{
    if (target == "-")
        return true;
    // stat follows links, so /dev/stdout counts as what it points at.
    struct stat st;
    return ::stat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
}

bool OutputFile::Reserve(std::ostream &err)
{
    // A device, a pipe or a socket cannot be replaced by a rename: it is written as it is.
    m_bInPlace = WritesInPlace(m_strTarget);
    if (m_bInPlace)
        return true;
    std::error_code ec;
    if (fs::is_symlink(m_strTarget, ec)) {
        const fs::path resolved = fs::weakly_canonical(m_strTarget, ec);
        if (!ec)
            m_strTarget = resolved.string();
    }
    // A folder cannot be replaced: say so now rather than after the work.
    if (fs::is_directory(m_strTarget, ec)) {
        err << "velorine-render: cannot write " << m_strTarget << ": " << std::strerror(EISDIR)
            << "\n";
        return false;
    }
    const fs::path target(m_strTarget);
    fs::path dir = target.parent_path();
    if (dir.empty())
        dir = ".";
    std::string hidden = ".";
    hidden += target.filename().string();
    hidden += ".XXXXXX";
    const std::string name = (dir / hidden).string();
    std::vector<char> pattern(name.begin(), name.end());
    pattern.push_back('\0');
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        err << "velorine-render: cannot write " << m_strTarget << ": " << std::strerror(errno)
            << "\n";
        return false;
    }
    ::close(fd);
    m_strTemp = pattern.data();
    RememberTemporary(m_strTemp.c_str());
    return true;
}

bool OutputFile::Commit(std::ostream &err)
{
    if (m_bInPlace)
        return true;
    // mkstemp makes the file private; the output gets the mode a plain create would give it.
    struct stat st;
    mode_t mode = 0;
    if (::stat(m_strTarget.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::chmod(m_strTemp.c_str(), mode);
    if (::rename(m_strTemp.c_str(), m_strTarget.c_str()) != 0) {
        err << "velorine-render: cannot write " << m_strTarget << ": " << std::strerror(errno)
            << "\n";
        return false;
    }
    m_bCommitted = true;
    ForgetTemporary(m_strTemp.c_str());
    return true;
}

std::FILE *OutputFile::OpenStream() const
{
    if (m_strTarget == "-") {
        std::fflush(stdout);
        const int fd = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
        std::FILE *file = fd < 0 ? nullptr : ::fdopen(fd, "wb");
        if (fd >= 0 && !file)
            ::close(fd);
        return file;
    }
    // A FIFO waits here for its reader.
    return std::fopen(m_bInPlace ? m_strTarget.c_str() : m_strTemp.c_str(), "wbe");
}

const std::string &OutputFile::Name() const
{
    static const std::string kStandardOutput = "standard output";
    return m_strTarget == "-" ? kStandardOutput : m_strTarget;
}

bool OutputFile::Write(const std::function<int(std::FILE *)> &fill, std::ostream &err)
{
    std::FILE *file = OpenStream();
    int error = file ? fill(file) : errno;
    if (file) {
        if (error == 0 && std::fflush(file) != 0)
            error = errno;
        if (std::fclose(file) != 0 && error == 0)
            error = errno;
    }
    if (error != 0) {
        err << "velorine-render: cannot write " << Name() << ": " << std::strerror(error) << "\n";
        return false;
    }
    return true;
}

bool OutputFile::WriteAll(const void *data, std::size_t size, std::ostream &err)
{
    return Reserve(err)
        && Write(
               [&](std::FILE *file) {
                   return std::fwrite(data, 1, size, file) == size ? 0 : (errno ? errno : EIO);
               },
               err)
        && Commit(err);
}

bool SameFile(const std::string &a, const std::string &b)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const auto pa = fs::weakly_canonical(fs::absolute(a, ec), ec);
    const auto pb = ec ? fs::path() : fs::weakly_canonical(fs::absolute(b, ec), ec);
    return ec ? a == b : pa == pb;
}
