#include "cli/TemporaryFile.h"

#include "cli/InterruptCleanup.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <system_error>
#include <unistd.h>
#include <vector>

TemporaryFile::TemporaryFile(std::string prefix) : m_strPrefix(std::move(prefix)) { }

TemporaryFile::~TemporaryFile()
{
    if (!m_strPath.empty()) {
        ::unlink(m_strPath.c_str());
        ForgetTemporary(m_strPath.c_str());
    }
}

bool TemporaryFile::Create(std::ostream &err)
{
    std::error_code ec;
    std::filesystem::path dir = std::filesystem::temp_directory_path(ec);
    if (ec)
        dir = "/tmp";
    std::string name = (dir / (m_strPrefix + "-XXXXXX")).string();
    std::vector<char> pattern(name.begin(), name.end());
    pattern.push_back('\0');
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        err << "velorine-render: cannot create a temporary file in " << dir.string() << ": "
            << std::strerror(errno) << "\n";
        return false;
    }
    ::close(fd);
    m_strPath = pattern.data();
    RememberTemporary(m_strPath.c_str());
    return true;
}
