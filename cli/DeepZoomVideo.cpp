#include "cli/DeepZoomVideo.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <ostream>
#include <spawn.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

std::string FindFfmpeg()
{
    const char *path = std::getenv("PATH");
    std::istringstream dirs(path ? path : "");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        const std::string candidate = (dir.empty() ? "." : dir) + "/ffmpeg";
        struct stat st;
        if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode)
            && ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return {};
}

VideoPipe::VideoPipe(std::string ffmpeg, std::string target, std::string format, int columns,
                     int rows, double fps)
    : m_strTarget(target)
    , m_strFfmpeg(std::move(ffmpeg))
    , m_strFormat(std::move(format))
    , m_nColumns(columns)
    , m_nRows(rows)
    , m_dFps(fps)
    , m_file(std::move(target))
    , m_log("velorine-ffmpeg")
{
}

VideoPipe::~VideoPipe()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        std::ostringstream ignored;
        Wait(ignored);
    }
    if (m_bPipeIgnored)
        ::sigaction(SIGPIPE, &m_previousPipe, nullptr);
}

bool VideoPipe::Start(std::ostream &err)
{
    if (!m_file.Reserve(err) || !m_log.Create(err))
        return false;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        err << "velorine-render: cannot start ffmpeg: " << std::strerror(errno) << "\n";
        return false;
    }
    std::ostringstream fps;
    fps.imbue(std::locale::classic());
    fps << m_dFps;
    const std::string size = std::to_string(m_nColumns) + "x" + std::to_string(m_nRows);
    std::vector<std::string> args {
        m_strFfmpeg, "-hide_banner", "-loglevel",  "error",       "-y",       "-f",
        "rawvideo",  "-pix_fmt",     "rgb24",      "-video_size", size,       "-framerate",
        fps.str(),   "-i",           "pipe:0",     "-an",         "-pix_fmt", "yuv420p",
        "-f",        m_strFormat,    m_file.Path()};
    std::vector<char *> argv;
    for (std::string &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, m_log.Path().c_str(),
                                     O_WRONLY | O_TRUNC, 0);
    // ffmpeg starts with every signal at its default and none blocked, whatever this thread's
    // mask and this process's SIGPIPE are.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &pipeSignal);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    const int spawned
        = ::posix_spawn(&m_pid, m_strFfmpeg.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(fds[0]);
    if (spawned != 0) {
        m_pid = -1;
        ::close(fds[1]);
        err << "velorine-render: cannot start " << m_strFfmpeg << ": " << std::strerror(spawned)
            << "\n";
        return false;
    }
    m_nPipe = fds[1];
    // A write to an ffmpeg that has given up then fails with EPIPE instead of ending the
    // process with the temporary files left behind.
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    m_bPipeIgnored = ::sigaction(SIGPIPE, &ignore, &m_previousPipe) == 0;
    return true;
}

bool VideoPipe::Write(const uint8_t *rgb, std::size_t size, std::ostream &err)
{
    while (size > 0) {
        const ssize_t n = ::write(m_nPipe, rgb, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // ffmpeg has stopped reading: its own message says why.
            ::close(m_nPipe);
            m_nPipe = -1;
            Wait(err);
            return false;
        }
        rgb += n;
        size -= std::size_t(n);
    }
    return true;
}

bool VideoPipe::Finish(std::ostream &err)
{
    return Wait(err) && m_file.Commit(err);
}

bool VideoPipe::Wait(std::ostream &err)
{
    if (m_nPipe >= 0) {
        ::close(m_nPipe);
        m_nPipe = -1;
    }
    if (m_pid <= 0)
        return false;
    int status = 0;
    pid_t got;
    while ((got = ::waitpid(m_pid, &status, 0)) < 0 && errno == EINTR) { }
    m_pid = -1;
    if (got > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return true;
    std::ifstream log(m_log.Path());
    std::string line;
    std::string lastLine;
    while (std::getline(log, line))
        if (!line.empty())
            lastLine = line;
    err << "velorine-render: ffmpeg could not make " << m_strTarget << " (";
    if (got > 0 && WIFEXITED(status))
        err << "exit status " << WEXITSTATUS(status);
    else if (got > 0 && WIFSIGNALED(status))
        err << "ended by signal " << WTERMSIG(status);
    else
        err << "lost";
    err << ")" << (lastLine.empty() ? "" : ": " + lastLine) << "\n";
    return false;
}
