#pragma once
// An output written under a temporary name beside its target and renamed over it only when
// complete, so a failed write never leaves a partial file under the target's name. A symlink
// target is written through; an existing target keeps its permissions.

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

    // Creates the temporary file; false (with a line on err) when the folder refuses it.
    bool Reserve(std::ostream &err);
    // The temporary name, valid after Reserve.
    const std::string &Path() const { return m_strTemp; }
    // Puts the temporary file in the target's place.
    bool Commit(std::ostream &err);
    // Fills the temporary file (Reserve first) through a buffered stream. fill returns 0 or the
    // errno value of its failure; false, with a line on err, when it or the closing fails.
    bool Write(const std::function<int(std::FILE *)> &fill, std::ostream &err);
    // Reserve, write size bytes, Commit.
    bool WriteAll(const void *data, std::size_t size, std::ostream &err);

private:
    std::string m_strTarget;
    std::string m_strTemp;
    bool m_bCommitted = false;
};
