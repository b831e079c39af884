// Outputs that are not regular files: a FIFO, device nodes, standard output and a link to it
// are written in place and stay what they were. Made in the test's own folder, never in /dev.

#include "tests/cli/RenderCliSupport.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

bool IsKind(const char *path, mode_t kind)
{
    struct stat st;
    return ::lstat(path, &st) == 0 && (st.st_mode & S_IFMT) == kind;
}

std::vector<unsigned char> Bytes(const QByteArray &a)
{
    return {a.begin(), a.end()};
}

TEST(RenderOutputTest, NonRegularTargetsAreWrittenInPlace)
{
    ASSERT_EQ(Render({"wallpaper", "-o", "ref.bmp"}).exitCode, 0);
    ASSERT_EQ(Render({"mandelbrot", "--size", "64x48", "--png", "ref.png"}).exitCode, 0);
    const std::vector<unsigned char> bmp = ReadFileBytes("ref.bmp");

    // A FIFO: its reader gets the picture, and it is still a FIFO afterwards.
    ASSERT_EQ(::mkfifo("pipe", 0600), 0);
    std::vector<unsigned char> got;
    std::thread reader([&got] {
        const int fd = ::open("pipe", O_RDONLY | O_CLOEXEC);
        unsigned char chunk[65536];
        for (ssize_t n; fd >= 0 && (n = ::read(fd, chunk, sizeof chunk)) > 0;)
            got.insert(got.end(), chunk, chunk + n);
        if (fd >= 0)
            ::close(fd);
    });
    const RunResult piped = Render({"wallpaper", "-o", "pipe"});
    // Releases a reader still waiting in open when the renderer never opened the FIFO.
    const int writer = ::open("pipe", O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (writer >= 0)
        ::close(writer);
    reader.join();
    EXPECT_EQ(piped.exitCode, 0) << piped.err.toStdString();
    EXPECT_EQ(got, bmp);
    EXPECT_TRUE(IsKind("pipe", S_IFIFO));

    // "-" and a link to standard output: the bytes on the pipe the test reads.
    ASSERT_EQ(::symlink("/proc/self/fd/1", "out-link"), 0);
    for (const char *target : {"-", "out-link"}) {
        const RunResult run = Render({"wallpaper", "-o", target});
        EXPECT_EQ(run.exitCode, 0) << target << run.err.toStdString();
        EXPECT_EQ(Bytes(run.outBytes), bmp) << target;
    }
    EXPECT_TRUE(IsKind("out-link", S_IFLNK));
    const RunResult png = Render({"mandelbrot", "--size", "64x48", "--png", "-"});
    EXPECT_EQ(png.exitCode, 0);
    EXPECT_EQ(Bytes(png.outBytes), ReadFileBytes("ref.png"));
    const RunResult opened = Render({"open", "ref.bmp", "-o", "-"});
    EXPECT_EQ(Bytes(opened.outBytes), bmp);
    EXPECT_TRUE(opened.err.contains("512 x 512")) << opened.err.toStdString();
    const RunResult both = Render({"mandelbrot", "-o", "-", "--png", "-"});
    EXPECT_EQ(both.exitCode, 2);
    EXPECT_TRUE(both.outBytes.isEmpty());
    EXPECT_FALSE(fs::exists("-"));

    // Device nodes like /dev/null and /dev/full, where this folder allows devices.
    if (::mknod("null", S_IFCHR | 0666, makedev(1, 3)) != 0
        || ::mknod("full", S_IFCHR | 0666, makedev(1, 7)) != 0)
        GTEST_SKIP() << "making a device node needs root";
    const int probe = ::open("null", O_WRONLY | O_CLOEXEC);
    if (probe < 0)
        GTEST_SKIP() << "this folder's file system does not open devices";
    ::close(probe);
    EXPECT_EQ(Render({"martin", "10", "100", "-10", "1000", "-o", "null"}).exitCode, 0);
    EXPECT_EQ(Render({"open", "ref.bmp", "--png", "null"}).exitCode, 0);
    for (const QStringList &args :
         {QStringList {"wallpaper", "-o", "full"}, QStringList {"mandelbrot", "--png", "full"},
          QStringList {"leaf", "--seed", "1", "-o", "full"}}) {
        const RunResult run = Render(args);
        EXPECT_EQ(run.exitCode, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("No space left on device")) << run.err.toStdString();
    }
    EXPECT_TRUE(IsKind("null", S_IFCHR));
    EXPECT_TRUE(IsKind("full", S_IFCHR));
}

} // namespace
