#pragma once
// A one-line progress bar on a terminal, fed by the work done: a reporter thread looks at the
// work every 100 ms and draws the bar, percentage and time left, but only once the work has
// lasted half a second, so quick work prints nothing. The line is cleared when the bar is
// stopped or destroyed, and by an interrupting signal once InstallInterruptCleanup has run,
// so no half-finished line stays behind.

#include <condition_variable>
#include <csignal>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

struct WorkDone
{
    int64_t nDone = 0;
    int64_t nTotal = 0;
};

class ProgressBar
{
public:
    // Draws on fd, which must be a terminal; fd < 0 makes a bar that shows nothing. sample is
    // called from the reporter thread and must be safe to call from there.
    ProgressBar(int fd, std::function<WorkDone()> sample);
    ~ProgressBar();
    ProgressBar(const ProgressBar &) = delete;
    ProgressBar &operator=(const ProgressBar &) = delete;

    // Ends the reporter and clears the line; later calls do nothing.
    void Stop();

    // The bar for a fraction of the work after elapsed seconds, at most columns wide.
    static std::string Line(const WorkDone &work, double elapsed, int columns);

private:
    void Report();
    void Draw(const std::string &line);
    int Columns() const;

    int m_nFd;
    std::function<WorkDone()> m_sample;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_bStopping = false;
    std::size_t m_nShown = 0; // length of the line on screen
    sigset_t m_previousMask;
    std::thread m_reporter;
};
