// Where the file dialogs open: the folder of the user's last choice of pictures or of palettes,
// kept in the settings, and the Pictures or home folder the first time; never the working folder.

#include "tests/view/ViewFixture.h"

#include <QDir>
#include <QSettings>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

class FileDialogFolderTest : public ViewFixture
{
protected:
    void SetUp() override
    {
        m_strOldHome = qEnvironmentVariable("HOME");
        m_strWork = QDir::currentPath();
        fs::create_directories("home/Pictures");
        for (const char *dir : {"shots", "more", "palettes", "saved"})
            fs::create_directories(dir);
        setenv("HOME", QDir(m_strWork).filePath(QStringLiteral("home")).toLocal8Bit().constData(),
               1);
        ViewFixture::SetUp();
        m_pApp->SetRegistryKey(QStringLiteral("Local AppWizard-Generated Applications"));
        QSettings().clear();
        WriteFileBytes("shots/quad.bmp", QuadrantBmp());
        WriteFileBytes("more/quad.bmp", QuadrantBmp());
    }
    void TearDown() override
    {
        ViewFixture::TearDown();
        setenv("HOME", m_strOldHome.toLocal8Bit().constData(), 1);
    }
    QString In(const char *name) const { return QDir(m_strWork).filePath(QString::fromUtf8(name)); }
    // The folder the next dialog of command nID opens in; the dialog is cancelled.
    QString StartOf(int nID)
    {
        m_providers.files().answers.push_back(QString());
        EXPECT_TRUE(Route(nID));
        EXPECT_FALSE(m_providers.files().requests.empty());
        return m_providers.files().requests.empty()
            ? QString()
            : m_providers.files().requests.back().strStartDir;
    }
    void Choose(int nID, const char *path)
    {
        m_providers.files().answers.push_back(In(path));
        ASSERT_TRUE(Route(nID));
    }

    QString m_strOldHome;
    QString m_strWork;
};

TEST_F(FileDialogFolderTest, FirstUseOpensInPicturesElseHome)
{
    EXPECT_EQ(StartOf(ID_FILE_OPEN), In("home/Pictures"));
    EXPECT_EQ(StartOf(ID_FILE_SAVE_AS), In("home/Pictures"));
    EXPECT_EQ(StartOf(ID_PALETTE), In("home/Pictures"));
    EXPECT_NE(StartOf(ID_FILE_OPEN), m_strWork);

    fs::remove("home/Pictures");
    EXPECT_EQ(StartOf(ID_FILE_OPEN), In("home"));
    EXPECT_EQ(StartOf(ID_PALETTE), In("home"));
}

TEST_F(FileDialogFolderTest, PicturesAndPalettesEachFollowTheLastChoice)
{
    Choose(ID_FILE_OPEN, "shots/quad.bmp");
    EXPECT_EQ(StartOf(ID_FILE_OPEN), In("shots"));
    EXPECT_EQ(StartOf(ID_FILE_SAVE_AS), In("shots"));
    EXPECT_EQ(StartOf(ID_PALETTE), In("home/Pictures"));

    Choose(ID_PALETTE, "palettes/warm.rgb");
    EXPECT_EQ(StartOf(ID_PALETTE), In("palettes"));
    EXPECT_EQ(StartOf(ID_FILE_OPEN), In("shots"));

    // Save As is a choice of a picture too; a picture that fails to load still moves the folder.
    Choose(ID_FILE_SAVE_AS, "saved/copy.bmp");
    EXPECT_TRUE(fs::exists("saved/copy.bmp"));
    EXPECT_EQ(StartOf(ID_FILE_OPEN), In("saved"));
    Choose(ID_FILE_OPEN, "more/missing.bmp");
    EXPECT_EQ(StartOf(ID_FILE_SAVE_AS), In("more"));
    EXPECT_EQ(StartOf(ID_PALETTE), In("palettes"));
}

TEST_F(FileDialogFolderTest, ACancelKeepsTheFolder)
{
    Choose(ID_FILE_OPEN, "shots/quad.bmp");
    Choose(ID_PALETTE, "palettes/warm.rgb");
    m_providers.files().answers = {QString(), QString()};
    ASSERT_TRUE(Route(ID_FILE_OPEN));
    ASSERT_TRUE(Route(ID_PALETTE));
    EXPECT_EQ(StartOf(ID_FILE_OPEN), In("shots"));
    EXPECT_EQ(StartOf(ID_PALETTE), In("palettes"));
}

TEST_F(FileDialogFolderTest, TheFoldersOutliveTheProgram)
{
    Choose(ID_FILE_OPEN, "shots/quad.bmp");
    Choose(ID_PALETTE, "palettes/warm.rgb");
    // On disk in the program's settings file, where the next start reads them.
    const QString file = QSettings().fileName();
    EXPECT_TRUE(
        file.endsWith(QStringLiteral("Local AppWizard-Generated Applications/Velorine.conf")))
        << file.toStdString();
    const auto bytes = ReadFileBytes(file.toLocal8Bit().toStdString());
    const QString text
        = QString::fromUtf8(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
    EXPECT_TRUE(text.contains(In("shots"))) << text.toStdString();
    EXPECT_TRUE(text.contains(In("palettes"))) << text.toStdString();

    // What a previous run left is where a new view's dialogs open; a folder since removed is not.
    TearDown();
    SetUp();
    QSettings settings;
    settings.setValue(QStringLiteral("Folders/Pictures"), In("more"));
    settings.setValue(QStringLiteral("Folders/Palettes"), In("gone"));
    settings.sync();
    EXPECT_EQ(StartOf(ID_FILE_OPEN), In("more"));
    EXPECT_EQ(StartOf(ID_PALETTE), In("home/Pictures"));
}

} // namespace
