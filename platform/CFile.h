#pragma once
// The framework's file object over a POSIX descriptor. Opening, reading and writing failures
// raise CFileException with the cause and path, except through the Open variant that returns
// false. A file opened with OpenForSave is written to a temporary file in the same folder and
// takes the target's place only on Commit, so a failed save leaves the old file untouched.

#include "platform/Exceptions.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class QSaveFile;

class CFile
{
public:
    enum OpenFlags : unsigned {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        modeCreate = 0x1000, // create when missing; truncate unless modeNoTruncate
        modeNoTruncate = 0x2000,
    };

    CFile();
    // Opens or throws CFileException.
    CFile(const char *path, unsigned flags);
    ~CFile(); // closes without throwing; an uncommitted save is discarded
    CFile(const CFile &) = delete;
    CFile &operator=(const CFile &) = delete;

    // False when the file cannot be opened; pError, when given, receives the cause.
    bool Open(const char *path, unsigned flags, CFileException *pError = nullptr);
    // Opens path for a save through a temporary file; false when that cannot be created (the
    // folder is not writable, the target is a folder, ...).
    bool OpenForSave(const char *path, CFileException *pError = nullptr);

    // Reads up to count bytes; fewer only at the end of the file.
    size_t Read(void *buffer, size_t count);
    // Writes all count bytes or throws (a full disk is diskFull).
    void Write(const void *buffer, size_t count);
    uint64_t GetLength() const;
    // Puts a file opened with OpenForSave in place of its target; throws when that fails, and
    // then the target is as it was.
    void Commit();
    // Throws when the system reports an error on closing; a save not committed is discarded.
    void Close();
    void Abort(); // closes, ignoring errors, discarding an uncommitted save

private:
    template<class> friend struct TestAccess; // what tests read beyond the program
    [[noreturn]] void Throw(int err) const;
    // Calls io(bytes done so far), a read or write of the rest, until count bytes have moved
    // or one call moves none; again after an interruption. Throws the system's error.
    template<class Io> size_t Transfer(size_t count, Io io) const;

    int m_hFile = -1;
    std::unique_ptr<QSaveFile> m_pSave;
    std::string m_strFileName;
};
