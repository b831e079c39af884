#pragma once
// The framework's exceptions: a file error with its cause and path, and out-of-memory.
// They are thrown by platform and image code and caught only by AfxGuard at the entry points.

#include <exception>
#include <string>

class CFileException : public std::exception
{
public:
    enum Cause {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        hardIO,
        sharingViolation,
        diskFull
    };

    CFileException(Cause cause, std::string fileName, int osError = 0)
        : m_cause(cause), m_strFileName(std::move(fileName)), m_lOsError(osError)
    {
    }

    const char *what() const noexcept override { return "file exception"; }

    // Maps an errno value to the framework's cause.
    static Cause CauseFromErrno(int err);

    Cause m_cause;
    std::string m_strFileName;
    int m_lOsError;
};

class CMemoryException : public std::exception
{
public:
    const char *what() const noexcept override { return "out of memory"; }
};
