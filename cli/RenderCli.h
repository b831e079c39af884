#pragma once
// velorine-render: the generators and the composition from a shell. Returns the exit status:
// 0 done, 1 a file could not be read or written (no partial file is left under the output
// name), 2 a bad argument (one line naming it, then the usage).

#include <iosfwd>
#include <string>
#include <vector>

// args excludes the program name. A progress bar for long work is drawn on nProgressFd, a
// terminal, unless it is negative.
int RenderMain(const std::vector<std::string> &args, std::ostream &out, std::ostream &err,
               int nProgressFd = -1);

// The usage text, one line per kind.
const char *RenderUsage();
