#include "tests/view/ViewFixture.h"

#include "res/resource.h"
#include "tests/common/SingleDocument.h"
#include "tests/common/WidgetTestAccess.h"

#include <QCoreApplication>
#include <QPixmap>

void ViewFixture::SetUp()
{
    m_pApp = std::make_unique<CWinApp>();
    m_pTemplate = AddSingleDocTemplate<CVelorineDoc, CFrameWnd, CVelorineView>(*m_pApp);
    ASSERT_TRUE(m_pTemplate->OpenDocumentFile());
    m_pFrame = TestAccess<CSingleDocTemplate>::Frame(*m_pTemplate);
    m_pDoc = static_cast<CVelorineDoc *>(m_pTemplate->GetDocument());
    m_pView = static_cast<CVelorineView *>(m_pFrame->GetActiveView());
    ASSERT_NE(m_pView, nullptr);
    ASSERT_EQ(AfxGetMainWnd(), m_pFrame);
    SetClientSize(512, 512);
}

void ViewFixture::TearDown()
{
    if (m_pTemplate)
        m_pTemplate->CloseAll();
    m_pApp.reset();
    CVelorineDoc::KeepWorkingFiles(false);
}

void ViewFixture::SetClientSize(int w, int h)
{
    m_pView->setFixedSize(w, h);
    m_pFrame->show();
    m_pFrame->adjustSize();
    QCoreApplication::processEvents();
    ASSERT_EQ(m_pView->GetClientRect(), QRect(0, 0, w, h));
}

void ViewFixture::SetSelection(int nX1, int nY1, int nX2, int nY2)
{
    m_pView->m_nSelX1 = nX1;
    m_pView->m_nSelY1 = nY1;
    m_pView->m_nSelX2 = nX2;
    m_pView->m_nSelY2 = nY2;
}

ViewFixture::Window ViewFixture::MandelbrotWindow() const
{
    const FractalParams &p = m_pView->m_params;
    return {p.m_dMandelXMin, p.m_dMandelXMax, p.m_dMandelYMin, p.m_dMandelYMax};
}

ViewFixture::Window ViewFixture::JuliaWindow() const
{
    const CVelorineView &v = *m_pView;
    return {v.m_dJuliaLeft, v.m_dJuliaRight, v.m_dJuliaBottom, v.m_dJuliaTop};
}

bool ViewFixture::IsEnabled(int nID)
{
    CCmdUI ui(nID);
    m_pFrame->RouteCommandState(ui);
    return ui.m_bEnabled;
}

Bytes ViewFixture::Composed(const Buffer &buffer)
{
    CDib composer;
    composer.Compose("expected.bmp", m_pDoc->m_strPalettePath.c_str(), buffer.data());
    return ReadFileBytes("expected.bmp");
}

Buffer ViewFixture::Generate(const std::function<void(FractalParams &, uint8_t *)> &gen)
{
    Buffer buffer(512 * 512);
    FractalParams params;
    gen(params, buffer.data());
    return buffer;
}

Buffer ViewFixture::MandelbrotBuffer(double xMin, double xMax, double yMin, double yMax)
{
    return Generate([&](FractalParams &p, uint8_t *b) {
        p.Mandelbrot(b, 512, 512, xMin, xMax, yMin, yMax, 100.0);
    });
}

Buffer ViewFixture::JuliaBuffer(double cx, double cy, double xMin, double xMax, double yMin,
                                double yMax)
{
    return Generate([&](FractalParams &p, uint8_t *b) {
        p.Julia(b, 512, 512, cx, cy, xMin, xMax, yMin, yMax);
    });
}

Bytes ViewFixture::PictureBits() const
{
    const CDib &dib = m_pView->m_dib;
    if (!dib.m_pBits)
        return {};
    return Bytes(dib.m_pBits, dib.m_pBits + 512 * 512);
}

bool ViewFixture::OpenQuadrants()
{
    WriteFileBytes("quad.bmp", QuadrantBmp());
    return m_pView->OpenPictureFile(QStringLiteral("quad.bmp"));
}

QImage ViewFixture::Grab()
{
    return m_pView->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

namespace {

void Put32(Bytes &b, std::size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

} // namespace

void ExpectPixels(const QImage &img, std::initializer_list<PixelAt> expected)
{
    for (const PixelAt &p : expected)
        EXPECT_EQ(img.pixel(p.x, p.y), p.rgb) << "at " << p.x << ", " << p.y;
}

QRgb QuadrantColour(int index)
{
    switch (index) {
    case 1:
        return qRgb(255, 0, 0);
    case 2:
        return qRgb(0, 255, 0);
    case 3:
        return qRgb(0, 0, 255);
    case 4:
        return qRgb(255, 255, 0);
    default:
        return qRgb(0, 0, 0);
    }
}

Bytes QuadrantBmp()
{
    const std::size_t pixels = 512 * 512;
    Bytes b(14 + 40 + 1024 + pixels, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<uint32_t>(b.size()));
    Put32(b, 10, 1078);
    Put32(b, 14, 40);
    Put32(b, 18, 512);
    Put32(b, 22, 512);
    b[26] = 1;
    b[28] = 8;
    Put32(b, 34, static_cast<uint32_t>(pixels));
    for (int i = 1; i <= 4; ++i) {
        const QRgb c = QuadrantColour(i);
        b[54 + 4 * i] = static_cast<unsigned char>(qBlue(c));
        b[54 + 4 * i + 1] = static_cast<unsigned char>(qGreen(c));
        b[54 + 4 * i + 2] = static_cast<unsigned char>(qRed(c));
    }
    for (int row = 0; row < 512; ++row) {
        for (int col = 0; col < 512; ++col) {
            const int index = (row < 256 ? 1 : 3) + (col < 256 ? 0 : 1);
            b[1078 + std::size_t(row) * 512 + col] = static_cast<unsigned char>(index);
        }
    }
    return b;
}
