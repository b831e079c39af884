#pragma once
// An output written under a temporary name beside its target and renamed over it only when
// complete, so a failed write never leaves a partial file under the target's name. A symlink
// target is written through; an existing target keeps its permissions. A target that exists
// and is not a regular file (a device, a FIFO, a socket) is written in place, and "-" is
// standard output.

#include <cstddef>
#include <cstdio>
#include <functional>
#include <iosfwd>
#include <string>

class OutputFile
{
public:
    explicit OutputFile(std::string target);
    ~OutputFile(); // an uncommitted temporary file is removed
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    // Whether target is written in place rather than through a temporary file.
    static bool WritesInPlace(const std::string &target);
    // Creates the temporary file (nothing for an output written in place); false (with a line on
    // err) when the folder refuses it.
    bool Reserve(std::ostream &err);
    // Puts the temporary file in the target's place.
    bool Commit(std::ostream &err);
    // Fills the temporary file (Reserve first) through a buffered stream. fill returns 0 or the
    // errno value of its failure; false, with a line on err, when it or the closing fails.
    bool Write(const std::function<int(std::FILE *)> &fill, std::ostream &err);
    // Reserve, write size bytes, Commit.
    bool WriteAll(const void *data, std::size_t size, std::ostream &err);
    // Where the bytes go once reserved: the temporary file, or the target written in place.
    const std::string &Path() const { return m_bInPlace ? m_strTarget : m_strTemp; }

private:
    std::FILE *OpenStream() const;
    // The target as messages name it.
    const std::string &Name() const;

    std::string m_strTarget;
    std::string m_strTemp;
    bool m_bCommitted = false;
    bool m_bInPlace = false;
};

// Whether two names reach the same file (through links and dot folders).
bool SameFile(const std::string &a, const std::string &b);
