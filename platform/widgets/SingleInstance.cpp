#include "platform/widgets/SingleInstance.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

CSingleInstance::~CSingleInstance()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

std::string CSingleInstance::MarkerName()
{
    const char *env = std::getenv("VELORINE_INSTANCE_NAME");
    const std::string name = env && *env ? env : "OrrenVelorine!";
    return name + "-" + std::to_string(::getuid());
}

CSingleInstance::Result CSingleInstance::Create()
{
    if (m_fd >= 0)
        return Result::Created;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return Result::Failed;
    sockaddr_un addr {};
    addr.sun_family = AF_UNIX;
    const std::string name = MarkerName();
    // Abstract namespace: a leading zero byte, then the name; nothing on disk.
    const size_t length = std::min(name.size(), sizeof(addr.sun_path) - 1);
    std::memcpy(addr.sun_path + 1, name.data(), length);
    const auto addrLength = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + length);
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&addr), addrLength) == 0) {
        m_fd = fd;
        return Result::Created;
    }
    const int error = errno;
    ::close(fd);
    return error == EADDRINUSE ? Result::AlreadyRunning : Result::Failed;
}
