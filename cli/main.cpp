#include "cli/InterruptCleanup.h"
#include "cli/RenderCli.h"

#include <csignal>
#include <iostream>
#include <unistd.h>

int main(int argc, char **argv)
{
    // Past a file size limit a write then fails with EFBIG, reported like a full disk, instead
    // of the signal ending the process with a partial temporary file left behind.
    std::signal(SIGXFSZ, SIG_IGN);
    InstallInterruptCleanup();
    return RenderMain(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr,
                      ::isatty(STDERR_FILENO) ? STDERR_FILENO : -1);
}
