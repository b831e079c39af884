#include "platform/CFile.h"
#include "tests/common/TestAccess.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<unsigned char>;

size_t EntriesIn(const char *dir)
{
    return size_t(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

} // namespace

TEST(CFileTest, OpeningFailuresCarryCauseAndPath)
{
    try {
        CFile file("missing.bin", CFile::modeRead);
        FAIL() << "opened";
    } catch (const CFileException &e) {
        EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
        EXPECT_EQ(e.m_strFileName, "missing.bin");
    }
    fs::create_directory("dir");
    CFile file;
    CFileException error(CFileException::none, "");
    EXPECT_FALSE(file.Open("dir", CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::accessDenied);
    EXPECT_FALSE(file.Open("no-dir/x", CFile::modeCreate | CFile::modeWrite, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    mkfifo("pipe", 0600);
    EXPECT_FALSE(file.Open("pipe", CFile::modeRead)); // refused, not waited on
    EXPECT_FALSE(TestAccess<CFile>::IsOpen(file));
}

TEST(CFileTest, ReadWriteLengthAndTruncation)
{
    WriteFileBytes("data.bin", Bytes(100, 5));
    {
        CFile file("data.bin", CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite);
        EXPECT_EQ(file.GetLength(), 100u);
        const unsigned char head[3] = {1, 2, 3};
        file.Write(head, 3);
        file.Close();
    }
    Bytes b = ReadFileBytes("data.bin");
    ASSERT_EQ(b.size(), 100u);
    EXPECT_EQ(b[0], 1);
    EXPECT_EQ(b[3], 5);
    {
        CFile file("data.bin", CFile::modeRead);
        unsigned char buffer[200];
        EXPECT_EQ(file.Read(buffer, sizeof buffer), 100u);
        EXPECT_EQ(file.Read(buffer, sizeof buffer), 0u);
        unsigned char one = 0;
        EXPECT_THROW(file.Write(&one, 1), CFileException);
    }
    CFile("data.bin", CFile::modeCreate | CFile::modeReadWrite).Close();
    EXPECT_EQ(fs::file_size("data.bin"), 0u);
}

TEST(CFileTest, SavesReplaceOnlyOnCommit)
{
    fs::create_directory("d");
    WriteFileBytes("d/old.bin", Bytes(10, 1));
    const unsigned char fresh[4] = {9, 8, 7, 6};
    {
        CFile file;
        ASSERT_TRUE(file.OpenForSave("d/old.bin"));
        file.Write(fresh, 4);
        EXPECT_EQ(ReadFileBytes("d/old.bin"), Bytes(10, 1));
    } // abandoned: the old file stays, no temporary is left
    EXPECT_EQ(ReadFileBytes("d/old.bin"), Bytes(10, 1));
    EXPECT_EQ(EntriesIn("d"), 1u);
    {
        CFile file;
        ASSERT_TRUE(file.OpenForSave("d/old.bin"));
        file.Write(fresh, 4);
        file.Commit();
    }
    EXPECT_EQ(ReadFileBytes("d/old.bin"), Bytes(fresh, fresh + 4));
    EXPECT_EQ(EntriesIn("d"), 1u);

    CFile file;
    EXPECT_FALSE(file.OpenForSave("d"));
    EXPECT_FALSE(file.OpenForSave("no-dir/x.bin"));
    EXPECT_FALSE(file.OpenForSave(""));
    EXPECT_EQ(EntriesIn("d"), 1u);
}
