// Pictures in and out: Open, Save As and Save, the palette choice, the clipboard copy.

#include "tests/common/WidgetTestAccess.h"
#include "tests/view/ViewFixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

using FileTest = ViewFixture;

TEST_F(FileTest, OpenShowsAGoodFileAndKeepsEverythingElse)
{
    ASSERT_TRUE(Route(ID_JULIA));
    m_pView->m_bZoomPending = true;
    WriteFileBytes("quad.bmp", QuadrantBmp());
    m_providers.files().answers = {QStringLiteral("quad.bmp")};
    ASSERT_TRUE(Route(ID_FILE_OPEN));
    ASSERT_EQ(m_providers.files().requests.size(), 1u);
    const FileDialogRequest &r = m_providers.files().requests[0];
    EXPECT_TRUE(r.bOpen);
    EXPECT_EQ(r.strFilter, QStringLiteral("BMP Files(*.BMP)|*.BMP||"));
    EXPECT_TRUE(r.strDefExt.isEmpty());
    EXPECT_EQ(r.nFlags, OFN_HIDEREADONLY);

    EXPECT_EQ(m_pView->m_dib.m_strFileName, "quad.bmp");
    EXPECT_FALSE(TestAccess<CView>::IsUpdatePending(*m_pView));
    EXPECT_EQ(Grab().pixel(5, 5), QuadrantColour(3));
    EXPECT_EQ(Caption(), QStringLiteral("Julia集--千变万化"));
    EXPECT_EQ(m_pView->m_nFractalKind, 2);
    EXPECT_TRUE(m_pView->m_bZoomPending);
}

TEST_F(FileTest, OpenOfABadFileOrACancelChangesNothingAndSaysNothing)
{
    const Bytes before = PictureBits();
    WriteFileBytes("notes.bmp", {'h', 'e', 'l', 'l', 'o', '\n'});
    m_providers.files().answers
        = {QStringLiteral("notes.bmp"), QString(), QStringLiteral("missing.bmp")};
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(Route(ID_FILE_OPEN));
    EXPECT_EQ(PictureBits(), before);
    EXPECT_EQ(m_pView->m_dib.m_strFileName, "temp.bmp");
    EXPECT_TRUE(m_providers.messages().shown.empty());
    EXPECT_FALSE(m_pView->OpenPictureFile(QStringLiteral("notes.bmp")));
}

TEST_F(FileTest, SaveAsAndSaveWriteThePictureBack)
{
    m_providers.files().answers = {QStringLiteral("out.bmp")};
    ASSERT_TRUE(Route(ID_FILE_SAVE_AS));
    const FileDialogRequest &r = m_providers.files().requests.at(0);
    EXPECT_FALSE(r.bOpen);
    EXPECT_EQ(r.strDefExt, QStringLiteral("bmp"));
    EXPECT_EQ(r.strFilter, QStringLiteral("BMP Files(*.BMP)|*.BMP||"));
    EXPECT_EQ(r.nFlags, OFN_HIDEREADONLY);
    EXPECT_EQ(m_pView->m_dib.m_strFileName, "out.bmp");
    EXPECT_EQ(ReadFileBytes("out.bmp"), ReadFileBytes("temp.bmp"));

    // Save writes under the name Save As chose, over the old file and without asking.
    ASSERT_TRUE(Route(ID_MARTIN));
    m_pView->m_dib.m_strFileName = "out.bmp";
    ASSERT_TRUE(Route(ID_FILE_SAVE));
    EXPECT_EQ(ReadFileBytes("out.bmp"), ReadFileBytes("temp.bmp"));
    EXPECT_EQ(m_providers.files().requests.size(), 1u);

    // An opened file is saved back unchanged.
    ASSERT_TRUE(OpenQuadrants());
    WriteFileBytes("quad.bmp", {});
    ASSERT_TRUE(Route(ID_FILE_SAVE));
    EXPECT_EQ(ReadFileBytes("quad.bmp"), QuadrantBmp());
    EXPECT_TRUE(m_providers.messages().shown.empty());
}

TEST_F(FileTest, SaveWithoutANameAsksForOneAndNoPictureMeansNoDialog)
{
    m_pView->m_dib.m_strFileName.clear();
    m_providers.files().answers = {QString()};
    ASSERT_TRUE(Route(ID_FILE_SAVE));
    EXPECT_EQ(m_providers.files().requests.size(), 1u);

    CVelorineView blank;
    blank.SetDocument(m_pDoc);
    blank.OnFileSaveAs();
    blank.OnFileSave();
    EXPECT_EQ(m_providers.files().requests.size(), 1u);
}

TEST_F(FileTest, AFailedSaveNamesTheFileAndItsReasonAndKeepsTheOldFile)
{
    WriteFileBytes("old.bmp", {'o', 'l', 'd'});
    m_pView->m_dib.m_strFileName = "old.bmp/picture.bmp";
    ASSERT_TRUE(Route(ID_FILE_SAVE));
    EXPECT_EQ(ReadFileBytes("old.bmp"), (Bytes {'o', 'l', 'd'}));
    ASSERT_EQ(m_providers.messages().shown.size(), 1u);
    const ShownMessage &m = m_providers.messages().shown[0];
    EXPECT_EQ(m.caption, QStringLiteral("Velorine"));
    EXPECT_TRUE(m.text.contains(QStringLiteral("old.bmp/picture.bmp"))) << m.text.toStdString();
    EXPECT_TRUE(m.text.contains(QStringLiteral("不是文件夹"))) << m.text.toStdString();

    m_providers.files().answers = {QStringLiteral("nowhere/x.bmp")};
    ASSERT_TRUE(Route(ID_FILE_SAVE_AS));
    ASSERT_EQ(m_providers.messages().shown.size(), 2u);
    EXPECT_TRUE(m_providers.messages().shown[1].text.contains(QStringLiteral("nowhere/x.bmp")));
    EXPECT_TRUE(m_providers.messages().shown[1].text.contains(QStringLiteral("不存在")));
    EXPECT_FALSE(fs::exists("nowhere"));
}

TEST_F(FileTest, LoadPaletteOnlyChoosesThePaletteForLaterPictures)
{
    const Bytes before = PictureBits();
    Bytes palette(1024, 0);
    for (int i = 0; i < 256; ++i)
        palette[4 * i + 1] = static_cast<unsigned char>(i); // shades of green
    WriteFileBytes("green.rgb", palette);
    m_providers.files().answers = {(fs::current_path() / "green.rgb").c_str()};
    ASSERT_TRUE(Route(ID_PALETTE));
    const FileDialogRequest &r = m_providers.files().requests.at(0);
    EXPECT_TRUE(r.bOpen);
    EXPECT_EQ(r.strFilter, QStringLiteral("Bitmap Palette Files(*.RGB)|*.RGB||"));
    EXPECT_EQ(r.nFlags, OFN_HIDEREADONLY);
    EXPECT_EQ(m_pDoc->m_strPalettePath, (fs::current_path() / "green.rgb").string());
    EXPECT_EQ(PictureBits(), before);

    ASSERT_TRUE(Route(ID_MANDELBROT));
    const Bytes file = ReadFileBytes("temp.bmp");
    EXPECT_EQ(Bytes(file.begin() + 54, file.begin() + 1078), palette);
}

TEST_F(FileTest, AShortPaletteReportsAndKeepsThePicture)
{
    const Bytes before = PictureBits();
    WriteFileBytes("short.rgb", Bytes(1000, 7));
    m_pDoc->m_strPalettePath = "short.rgb";
    ASSERT_TRUE(Route(ID_WALLPAPER));
    ASSERT_EQ(m_providers.messages().shown.size(), 1u);
    EXPECT_EQ(m_providers.messages().shown[0].text, QStringLiteral("Error!"));
    EXPECT_EQ(m_providers.messages().shown[0].caption, QStringLiteral("Warning!"));
    EXPECT_EQ(PictureBits(), before);
    EXPECT_EQ(fs::file_size("temp.bmp"), 0u);
    EXPECT_FALSE(TestAccess<CView>::IsUpdatePending(*m_pView));
}

TEST_F(FileTest, AMissingPaletteAbandonsTheRenderWithTheFrameworksMessage)
{
    const Bytes before = PictureBits();
    const std::string missing = (fs::current_path() / "gone.rgb").string();
    m_pDoc->m_strPalettePath = missing;
    for (int nID : {ID_MANDELBROT, ID_MIRA}) {
        m_providers.messages().shown.clear();
        Route(nID);
        ASSERT_EQ(m_providers.messages().shown.size(), 1u);
        EXPECT_EQ(m_providers.messages().shown[0].text,
                  QStringLiteral("没有找到 %1。").arg(QString::fromStdString(missing)));
        EXPECT_EQ(m_providers.messages().shown[0].caption, QStringLiteral("Velorine"));
        EXPECT_EQ(PictureBits(), before);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    }
}

const QRgb kWhite = qRgb(255, 255, 255);

class CopyTest : public ViewFixture
{
protected:
    void SetUp() override
    {
        ViewFixture::SetUp();
        ASSERT_TRUE(OpenQuadrants());
        QGuiApplication::clipboard()->clear();
    }
    QImage Clipboard() const
    {
        return QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
    }
    // The whole picture stretched over img: a quadrant in each corner.
    static void ExpectStretchedQuadrants(const QImage &img)
    {
        const int r = img.width() - 1;
        const int b = img.height() - 1;
        ExpectPixels(img, {{0, 0, QuadrantColour(3)},
                           {r, 0, QuadrantColour(4)},
                           {0, b, QuadrantColour(1)},
                           {r, b, QuadrantColour(2)}});
    }
};

TEST_F(CopyTest, WithoutASelectionTheWholeClientAreaIsCopied)
{
    SetClientSize(640, 480);
    EXPECT_FALSE(IsEnabled(ID_EDIT_COPY));
    EXPECT_TRUE(IsEnabled(ID_CTX_COPY));
    ASSERT_TRUE(Route(ID_CTX_COPY));
    const QImage copied = Clipboard();
    ASSERT_EQ(copied.size(), QSize(640, 480));
    ExpectPixels(copied, {{5, 5, QuadrantColour(3)}, {635, 475, QuadrantColour(2)}});
}

TEST_F(CopyTest, SelectAllCopiesThePictureOnWhiteWithoutZoomDisplay)
{
    m_pDoc->m_bZoomDisplay = false;
    SetClientSize(700, 600);
    m_pFrame->move(37, 23);
    ASSERT_TRUE(Route(ID_SELECT_ALL));
    EXPECT_TRUE(m_pView->m_bSelectionShown);
    EXPECT_TRUE(IsEnabled(ID_EDIT_COPY));
    ASSERT_TRUE(Route(ID_EDIT_COPY));
    const QImage copied = Clipboard();
    ASSERT_EQ(copied.size(), QSize(700, 600));
    ExpectPixels(copied, {{0, 0, QuadrantColour(3)},
                          {511, 511, QuadrantColour(2)},
                          {512, 0, kWhite},
                          {0, 512, kWhite},
                          {699, 599, kWhite}});
}

TEST_F(CopyTest, SelectAllWithZoomDisplayCopiesTheStretchedPicture)
{
    SetClientSize(700, 600);
    ASSERT_TRUE(Route(ID_CTX_SELECT_ALL));
    ASSERT_TRUE(Route(ID_EDIT_COPY));
    const QImage copied = Clipboard();
    ASSERT_EQ(copied.size(), QSize(700, 600));
    ExpectStretchedQuadrants(copied);
}

// Between Select All and Copy the window moves and changes size, as entering full screen does.
TEST_F(CopyTest, SelectAllThenMoveAndResizeCopiesTheClientAreaAsItIsNow)
{
    m_pDoc->m_bZoomDisplay = false;
    SetClientSize(600, 520);
    m_pFrame->move(37, 23);
    QCoreApplication::processEvents();
    ASSERT_TRUE(Route(ID_SELECT_ALL));
    m_pFrame->move(-5, -40);
    SetClientSize(800, 650);
    ASSERT_NE(m_pView->ClientToScreen(QPoint(0, 0)), QPoint(37, 23));
    ASSERT_TRUE(Route(ID_EDIT_COPY));
    QImage copied = Clipboard();
    ASSERT_EQ(copied.size(), QSize(800, 650));
    EXPECT_EQ(copied.copy(0, 0, 512, 512), Grab().copy(0, 0, 512, 512));
    ExpectPixels(copied, {{0, 0, QuadrantColour(3)},
                          {511, 511, QuadrantColour(2)},
                          {512, 0, kWhite},
                          {799, 649, kWhite}});

    // Stretched: the whole copy is the picture at the new size.
    m_pDoc->m_bZoomDisplay = true;
    m_pFrame->move(250, 120);
    SetClientSize(300, 200);
    ASSERT_TRUE(Route(ID_EDIT_COPY));
    copied = Clipboard();
    ASSERT_EQ(copied.size(), QSize(300, 200));
    ExpectStretchedQuadrants(copied);
}

TEST_F(CopyTest, ADraggedSelectionCopiesItsRectangleClippedToTheClientArea)
{
    m_pDoc->m_bZoomDisplay = false;
    SetClientSize(600, 520);
    // Released from the lower right to the upper left, as the drag normalises it.
    SetSelection(240, 300, 540, 200);
    m_pView->m_bSelectionShown = true;
    ASSERT_TRUE(Route(ID_EDIT_COPY));
    QImage copied = Clipboard();
    ASSERT_EQ(copied.size(), QSize(300, 100));
    ExpectPixels(copied, {{0, 0, QuadrantColour(3)},
                          {16, 50, QuadrantColour(4)},
                          {16, 60, QuadrantColour(2)},
                          {272, 50, kWhite}});

    // Corners outside the client area are cut at its edges.
    SetSelection(-50, 100, 900, -10);
    ASSERT_TRUE(Route(ID_EDIT_COPY));
    copied = Clipboard();
    ASSERT_EQ(copied.size(), QSize(600, 100));
    EXPECT_EQ(copied.pixel(0, 0), QuadrantColour(3));

    // Nothing inside the client area: the clipboard keeps what it had.
    m_pView->m_nSelX1 = 700;
    m_pView->m_nSelX2 = 800;
    ASSERT_TRUE(Route(ID_EDIT_COPY));
    EXPECT_EQ(Clipboard().size(), QSize(600, 100));
}

} // namespace
