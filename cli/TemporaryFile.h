#pragma once
// A uniquely named scratch file in the system's temporary folder, removed with the object.

#include <iosfwd>
#include <string>

class TemporaryFile
{
public:
    explicit TemporaryFile(std::string prefix);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;

    // Creates the empty file; false (with a line on err) when it cannot be created.
    bool Create(std::ostream &err);
    const std::string &Path() const { return m_strPath; }

private:
    std::string m_strPrefix;
    std::string m_strPath;
};
