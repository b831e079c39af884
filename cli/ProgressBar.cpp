#include "cli/ProgressBar.h"

#include "cli/InterruptCleanup.h"

#include <algorithm>
#include <chrono>
#include <pthread.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kTick = std::chrono::milliseconds(100);
constexpr auto kQuietTime = std::chrono::milliseconds(500);
constexpr int kBarCells = 30;
constexpr std::size_t kMaxLine = 200;

std::string TimeLeft(double seconds)
{
    const long s = long(seconds + 0.5);
    if (s < 60)
        return std::to_string(s) + " s left";
    const long m = s / 60;
    const std::string ss = std::to_string(s % 60);
    if (m < 60)
        return std::to_string(m) + ":" + std::string(2 - ss.size(), '0') + ss + " left";
    return std::to_string(m / 60) + " h " + std::to_string(m % 60) + " min left";
}

} // namespace

ProgressBar::ProgressBar(int fd, std::function<WorkDone()> sample)
    : m_nFd(fd), m_sample(std::move(sample))
{
    if (m_nFd < 0)
        return;
    // While the bar is up only the reporter takes an interrupt, so the line can never be
    // drawn again after the handler has blanked it.
    const sigset_t interrupts = InterruptSignals();
    pthread_sigmask(SIG_BLOCK, &interrupts, &m_previousMask);
    m_reporter = std::thread([this, interrupts] {
        pthread_sigmask(SIG_UNBLOCK, &interrupts, nullptr);
        Report();
    });
}

ProgressBar::~ProgressBar()
{
    Stop();
}

void ProgressBar::Stop()
{
    if (!m_reporter.joinable())
        return;
    {
        std::lock_guard lock(m_mutex);
        m_bStopping = true;
    }
    m_wake.notify_all();
    m_reporter.join();
    pthread_sigmask(SIG_SETMASK, &m_previousMask, nullptr);
}

std::string ProgressBar::Line(const WorkDone &work, double elapsed, int columns)
{
    const int64_t total = std::max<int64_t>(work.nTotal, 0);
    const int64_t done = std::clamp<int64_t>(work.nDone, 0, total);
    const double fraction = total > 0 ? double(done) / double(total) : 0.0;
    const int percent = int(fraction * 100.0);
    const std::string number = std::to_string(percent) + "%";
    std::string suffix = std::string(4 - number.size(), ' ') + number;
    if (done > 0 && done < total)
        suffix += "  " + TimeLeft(elapsed * double(total - done) / double(done));
    // One column stays free: writing the last one makes some terminals wrap the line.
    const int room = std::min<int>(columns, int(kMaxLine)) - 1;
    const int cells = std::min(kBarCells, room - int(suffix.size()) - 3);
    std::string line;
    if (cells >= 5) {
        const int full = int(fraction * cells);
        line.push_back('[');
        line.append(std::size_t(full), '#');
        line.append(std::size_t(cells - full), '-');
        line += "] ";
    }
    line += suffix;
    if (int(line.size()) > room)
        line.resize(std::size_t(std::max(room, 0)));
    return line;
}

int ProgressBar::Columns() const
{
    struct winsize size = {};
    if (::ioctl(m_nFd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

void ProgressBar::Draw(const std::string &line)
{
    std::string text = "\r" + line;
    // Blanks over what is left of a longer previous line, then back to its end.
    if (m_nShown > line.size()) {
        const std::size_t extra = m_nShown - line.size();
        text += std::string(extra, ' ') + "\r" + line;
    }
    SetShownLine(m_nFd, std::max(m_nShown, line.size()));
    WriteFully(m_nFd, text.data(), text.size());
    m_nShown = line.size();
    SetShownLine(m_nFd, m_nShown);
}

void ProgressBar::Report()
{
    const Clock::time_point start = Clock::now();
    std::unique_lock lock(m_mutex);
    while (!m_wake.wait_for(lock, kTick, [this] { return m_bStopping; })) {
        const Clock::duration elapsed = Clock::now() - start;
        if (elapsed < kQuietTime)
            continue;
        Draw(Line(m_sample(), std::chrono::duration<double>(elapsed).count(), Columns()));
    }
    if (m_nShown > 0) {
        BlankLine(m_nFd, m_nShown);
        SetShownLine(-1, 0);
        m_nShown = 0;
    }
}
