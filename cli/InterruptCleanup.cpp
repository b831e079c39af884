#include "cli/InterruptCleanup.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <iterator>
#include <unistd.h>

namespace {

constexpr std::size_t kMaxLine = 256;
constexpr std::size_t kMaxPath = 4096;
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// A slot is claimed (taken), filled, then published (ready); the handler reads only ready
// slots, so it never sees half a name.
struct Slot
{
    std::atomic<bool> bTaken {false};
    std::atomic<bool> bReady {false};
    char path[kMaxPath];
};
Slot g_slots[8];

std::atomic<int> g_nLineFd {-1};
std::atomic<std::size_t> g_nLineLength {0};

void OnInterrupt(int signal)
{
    const int fd = g_nLineFd.load();
    if (fd >= 0)
        BlankLine(fd, g_nLineLength.load());
    for (Slot &slot : g_slots)
        if (slot.bReady.load())
            ::unlink(slot.path);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace

void InstallInterruptCleanup()
{
    for (const int signal : kSignals) {
        struct sigaction current = {};
        if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler != SIG_DFL)
            continue;
        struct sigaction handler = {};
        handler.sa_handler = OnInterrupt;
        handler.sa_mask = InterruptSignals();
        ::sigaction(signal, &handler, nullptr);
    }
}

sigset_t InterruptSignals()
{
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : kSignals)
        sigaddset(&set, signal);
    return set;
}

bool RememberTemporary(const char *path)
{
    if (std::strlen(path) >= kMaxPath)
        return false;
    for (Slot &slot : g_slots) {
        bool taken = false;
        if (slot.bTaken.compare_exchange_strong(taken, true)) {
            std::strcpy(slot.path, path);
            slot.bReady.store(true);
            return true;
        }
    }
    return false;
}

void ForgetTemporary(const char *path)
{
    for (Slot &slot : g_slots)
        if (slot.bReady.load() && std::strcmp(slot.path, path) == 0) {
            slot.bReady.store(false);
            slot.bTaken.store(false);
            return;
        }
}

void SetShownLine(int fd, std::size_t length)
{
    g_nLineLength.store(length);
    g_nLineFd.store(fd);
}

void BlankLine(int fd, std::size_t length)
{
    char text[kMaxLine + 2];
    length = std::min(length, kMaxLine);
    text[0] = '\r';
    std::memset(text + 1, ' ', length);
    text[length + 1] = '\r';
    WriteFully(fd, text, length + 2);
}

void WriteFully(int fd, const char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        data += n;
        size -= std::size_t(n);
    }
}
