// The progress bar: its line, the work the generators report, and the renderer on a
// pseudo-terminal (bar drawn, then cleared at the end or on an interrupt) and on a pipe.

#include "cli/ProgressBar.h"
#include "fractals/FractalParams.h"
#include "fractals/Progress.h"
#include "fractals/Recipes.h"
#include "tests/cli/RenderCliSupport.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <poll.h>
#include <pty.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The renderer with a pseudo-terminal as its standard input, output and error.
class PtyRender
{
public:
    PtyRender(const QStringList &args, int columns)
    {
        const std::string program = BinaryDir() + "/cli/velorine-render";
        std::vector<std::string> words {program};
        for (const QString &a : args)
            words.push_back(a.toStdString());
        std::vector<char *> argv;
        for (std::string &w : words)
            argv.push_back(w.data());
        argv.push_back(nullptr);
        winsize size {};
        size.ws_row = 24;
        size.ws_col = static_cast<unsigned short>(columns);
        m_pid = ::forkpty(&m_nMaster, nullptr, nullptr, &size);
        if (m_pid == 0) {
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
    }
    ~PtyRender()
    {
        if (m_pid > 0 && !m_bReaped) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        if (m_nMaster >= 0)
            ::close(m_nMaster);
    }

    bool Started() const { return m_pid > 0; }

    // Reads what the program writes until done(output) holds, the terminal closes or the
    // deadline passes; true when done holds.
    template<typename Done> bool ReadUntil(Done done, std::chrono::seconds limit)
    {
        const Clock::time_point deadline = Clock::now() + limit;
        while (!done(m_output)) {
            const auto left
                = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0)
                return false;
            pollfd p {m_nMaster, POLLIN, 0};
            if (::poll(&p, 1, int(std::min<long long>(left.count(), 1000))) <= 0)
                continue;
            char chunk[4096];
            const ssize_t n = ::read(m_nMaster, chunk, sizeof chunk);
            if (n <= 0)
                return done(m_output); // the program has closed the terminal
            m_output.append(chunk, std::size_t(n));
        }
        return true;
    }

    // Reads to the end and returns the wait status.
    int Finish(std::chrono::seconds limit)
    {
        ReadUntil([](const std::string &) { return false; }, limit);
        int status = -1;
        if (::waitpid(m_pid, &status, 0) == m_pid)
            m_bReaped = true;
        return status;
    }

    void Signal(int signal) { ::kill(m_pid, signal); }
    const std::string &Output() const { return m_output; }

private:
    pid_t m_pid = -1;
    int m_nMaster = -1;
    bool m_bReaped = false;
    std::string m_output;
};

// The lines a terminal shows after the bytes: a carriage return goes back to the start of the
// line and what follows overwrites it. Trailing blanks are dropped.
std::vector<std::string> Screen(const std::string &bytes)
{
    std::vector<std::string> lines(1);
    std::size_t column = 0;
    for (const char c : bytes) {
        if (c == '\r') {
            column = 0;
        } else if (c == '\n') {
            lines.emplace_back();
            column = 0;
        } else {
            std::string &line = lines.back();
            if (column < line.size())
                line[column] = c;
            else
                line += c;
            ++column;
        }
    }
    for (std::string &line : lines)
        line.erase(line.find_last_not_of(' ') + 1);
    return lines;
}

bool ScreenIsBlank(const std::string &bytes)
{
    for (const std::string &line : Screen(bytes))
        if (!line.empty())
            return false;
    return true;
}

// The bars drawn, each a carriage-return-separated piece with something on it.
std::vector<std::string> Frames(const std::string &bytes)
{
    std::vector<std::string> frames;
    std::size_t start = 0;
    while (start <= bytes.size()) {
        std::size_t end = bytes.find('\r', start);
        if (end == std::string::npos)
            end = bytes.size();
        std::string piece = bytes.substr(start, end - start);
        piece.erase(piece.find_last_not_of(' ') + 1);
        if (!piece.empty())
            frames.push_back(piece);
        start = end + 1;
    }
    return frames;
}

// The percentage a bar line shows: "[###---] " (left out on a narrow terminal), the
// percentage, then "  ... left" while the end is not reached; -1 for anything else.
int FramePercentage(const std::string &frame)
{
    std::size_t i = 0;
    const auto skip = [&](char c) {
        while (i < frame.size() && frame[i] == c)
            ++i;
    };
    if (!frame.empty() && frame[0] == '[') {
        ++i;
        skip('#');
        skip('-');
        if (frame.compare(i, 2, "] ") != 0)
            return -1;
        i += 2;
    }
    skip(' ');
    const std::size_t digits = i;
    while (i < frame.size() && std::isdigit(static_cast<unsigned char>(frame[i])))
        ++i;
    if (i == digits || i - digits > 3 || i >= frame.size() || frame[i] != '%')
        return -1;
    const int percentage = std::stoi(frame.substr(digits, i - digits));
    ++i;
    if (i == frame.size())
        return percentage;
    const std::string left = " left";
    if (frame.compare(i, 2, "  ") != 0 || frame.size() < i + 3 + left.size()
        || frame.compare(frame.size() - left.size(), left.size(), left) != 0)
        return -1;
    return percentage;
}

// Checks every frame's shape; the percentages they show, in order.
std::vector<int> Percentages(const std::vector<std::string> &frames, std::size_t columns)
{
    std::vector<int> shown;
    for (const std::string &frame : frames) {
        const int percentage = FramePercentage(frame);
        EXPECT_TRUE(percentage >= 0 && percentage <= 100) << frame;
        EXPECT_LT(frame.size(), columns) << frame;
        shown.push_back(percentage);
    }
    return shown;
}

QStringList LongMartin(long long iterations)
{
    return {"martin", "10", "100", "-10", QString::number(iterations), "--raw", "-o", "m.raw"};
}

TEST(ProgressBarTest, LineShowsBarPercentageAndTimeLeft)
{
    EXPECT_EQ(ProgressBar::Line({0, 100}, 0.6, 80), "[------------------------------]   0%");
    EXPECT_EQ(ProgressBar::Line({25, 100}, 2.0, 80),
              "[#######-----------------------]  25%  6 s left");
    EXPECT_EQ(ProgressBar::Line({50, 100}, 100.0, 80),
              "[###############---------------]  50%  1:40 left");
    EXPECT_EQ(ProgressBar::Line({1, 1000}, 10.0, 80),
              "[------------------------------]   0%  2 h 46 min left");
    EXPECT_EQ(ProgressBar::Line({100, 100}, 3.0, 80), "[##############################] 100%");
    // More done than planned, or nothing planned, never passes the ends.
    EXPECT_EQ(ProgressBar::Line({150, 100}, 3.0, 80), "[##############################] 100%");
    EXPECT_EQ(ProgressBar::Line({5, 0}, 3.0, 80), "[------------------------------]   0%");
    // A narrow terminal gets a shorter bar, then the numbers alone, never a wrapped line.
    for (int columns = 1; columns <= 80; ++columns) {
        const std::string line = ProgressBar::Line({25, 100}, 2.0, columns);
        EXPECT_LT(line.size(), std::size_t(columns)) << columns;
    }
    EXPECT_EQ(ProgressBar::Line({25, 100}, 2.0, 30), "[###---------]  25%  6 s left");
    EXPECT_EQ(ProgressBar::Line({25, 100}, 2.0, 20), " 25%  6 s left");
}

TEST(ProgressBarTest, GeneratorsCountTheirWorkWithoutChangingIt)
{
    FractalParams params;
    std::vector<uint8_t> plain(300 * 200);
    std::vector<uint8_t> counted(plain.size());
    // The commands' coefficients on a picture that is not square.
    const recipe::MartinArgs &ma = recipe::kMartin;
    GeneratorProgress martin;
    params.Martin(plain.data(), 200, 300, ma.dA, ma.dB, ma.dC, 200001);
    params.Martin(counted.data(), 200, 300, ma.dA, ma.dB, ma.dC, 200001, &martin);
    EXPECT_EQ(plain, counted);
    EXPECT_EQ(martin.Total(), 200001);
    EXPECT_EQ(martin.Done(), 200001);

    const recipe::MiraArgs &mi = recipe::kMira;
    GeneratorProgress mira;
    params.Mira(plain.data(), 200, 300, mi.dA, mi.dB, mi.dSX, mi.dSY, mi.nX1, mi.nY1, mi.nX2,
                mi.nY2, 70000);
    params.Mira(counted.data(), 200, 300, mi.dA, mi.dB, mi.dSX, mi.dSY, mi.nX1, mi.nY1, mi.nX2,
                mi.nY2, 70000, &mira);
    EXPECT_EQ(plain, counted);
    EXPECT_EQ(mira.Done(), 70000);

    std::vector<uint8_t> dlaPlain(512 * 512);
    dlaPlain[256 * 512 + 256] = 255;
    std::vector<uint8_t> dlaCounted = dlaPlain;
    GeneratorProgress dla;
    params.Dla(dlaPlain.data(), 512, 512, 700, 0.2, 11);
    params.Dla(dlaCounted.data(), 512, 512, 700, 0.2, 11, &dla);
    EXPECT_EQ(dlaPlain, dlaCounted);
    EXPECT_EQ(dla.Total(), 700);
    EXPECT_EQ(dla.Done(), 700);

    GeneratorProgress mandelbrot;
    params.Mandelbrot(counted.data(), 300, 200, -2.25, 0.75, -1.5, 1.5, 100, &mandelbrot);
    EXPECT_EQ(mandelbrot.Done(), 300 * 200);
}

TEST(ProgressBarTest, TerminalShowsTheBarThenClearsIt)
{
    // A Martin orbit long enough to pass half a second, found by doubling: the first run that
    // shows a bar must also have cleared it.
    long long iterations = 1 << 23;
    std::string output;
    for (; iterations <= (1LL << 30); iterations *= 2) {
        PtyRender run(LongMartin(iterations), 80);
        ASSERT_TRUE(run.Started());
        const int status = run.Finish(std::chrono::seconds(120));
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        EXPECT_TRUE(ScreenIsBlank(run.Output())) << run.Output();
        if (!Frames(run.Output()).empty()) {
            output = run.Output();
            break;
        }
    }
    ASSERT_FALSE(output.empty()) << "no run showed a bar";
    const std::vector<int> shown = Percentages(Frames(output), 80);
    ASSERT_FALSE(shown.empty());
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()));
    EXPECT_LE(shown.back(), 100);
    // The last thing written blanks the line and returns to its start.
    EXPECT_EQ(output.back(), '\r');
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 0) << "the bar keeps to one line";
    EXPECT_EQ(ReadFileBytes("m.raw").size(), 512u * 512u);

    // The same work with --quiet, or with standard error on a pipe, prints nothing.
    PtyRender quiet(LongMartin(iterations) << "--quiet", 80);
    ASSERT_TRUE(quiet.Started());
    const int status = quiet.Finish(std::chrono::seconds(120));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(quiet.Output(), "");
    const RunResult piped = Render(LongMartin(iterations));
    EXPECT_EQ(piped.exitCode, 0);
    EXPECT_EQ(piped.err, "");
}

TEST(ProgressBarTest, AnInterruptClearsTheBar)
{
    // Far more steps than the test waits for; a narrow terminal.
    PtyRender run(LongMartin(2000000000), 40);
    ASSERT_TRUE(run.Started());
    const auto twoFrames = [](const std::string &output) { return Frames(output).size() >= 2; };
    ASSERT_TRUE(run.ReadUntil(twoFrames, std::chrono::seconds(60))) << run.Output();
    run.Signal(SIGINT);
    const int status = run.Finish(std::chrono::seconds(60));
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
    EXPECT_TRUE(ScreenIsBlank(run.Output())) << run.Output();
    const std::vector<int> shown = Percentages(Frames(run.Output()), 40);
    ASSERT_GE(shown.size(), 2u);
    EXPECT_LT(shown.back(), 100);
    // The unfinished output leaves nothing behind, under its name or a temporary one.
    for (const auto &entry : fs::directory_iterator("."))
        ADD_FAILURE() << entry.path();
}

} // namespace
