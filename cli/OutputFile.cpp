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

bool OutputFile::Reserve(std::ostream &err)
{
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
    const std::string name = (dir / ("." + target.filename().string() + ".XXXXXX")).string();
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

bool OutputFile::Write(const std::function<int(std::FILE *)> &fill, std::ostream &err)
{
    std::FILE *file = std::fopen(m_strTemp.c_str(), "wbe");
    int error = file ? fill(file) : errno;
    if (file) {
        if (error == 0 && std::fflush(file) != 0)
            error = errno;
        if (std::fclose(file) != 0 && error == 0)
            error = errno;
    }
    if (error != 0) {
        err << "velorine-render: cannot write " << m_strTarget << ": " << std::strerror(error)
            << "\n";
        return false;
    }
    return true;
}

bool OutputFile::WriteAll(const void *data, std::size_t size, std::ostream &err)
{
    if (!Reserve(err))
        return false;
    const int fd = ::open(m_strTemp.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    bool ok = fd >= 0;
    const char *p = static_cast<const char *>(data);
    std::size_t left = size;
    while (ok && left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok) {
            p += n;
            left -= std::size_t(n);
        }
    }
    const int writeErr = errno;
    if (fd >= 0 && ::close(fd) != 0)
        ok = false;
    if (!ok) {
        err << "velorine-render: cannot write " << m_strTarget << ": " << std::strerror(writeErr)
            << "\n";
        return false;
    }
    return Commit(err);
}
