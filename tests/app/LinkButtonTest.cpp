#include "app/CLinkButton.h"

#include <QApplication>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

bool HasPixel(const QImage &image, const QColor &colour)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == colour)
                return true;
        }
    }
    return false;
}

// Right-most column holding colour, -1 when none.
int RightMost(const QImage &image, const QColor &colour)
{
    int right = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == colour)
                right = std::max(right, x);
        }
    }
    return right;
}

} // namespace

TEST(LinkButtonBackground, FaceColourIsNudged)
{
    EXPECT_EQ(CLinkButton::BackgroundColor(QColor(192, 192, 192)), QColor(190, 190, 192));
    EXPECT_EQ(CLinkButton::BackgroundColor(QColor(0, 0, 0)), QColor(0, 0, 2));
    EXPECT_EQ(CLinkButton::BackgroundColor(QColor(1, 1, 253)), QColor(1, 1, 253));
    EXPECT_EQ(CLinkButton::BackgroundColor(QColor(4, 4, 0)), QColor(2, 2, 2));
    EXPECT_EQ(CLinkButton::BackgroundColor(QColor(255, 204, 255)), QColor(253, 202, 255));
}

// The face is the application's button colour, not the colour of the dialog around the button.
TEST(LinkButtonBackground, ErasedFromTheApplicationButtonFace)
{
    const QPalette previous = QApplication::palette();
    QPalette grey = previous;
    grey.setColor(QPalette::Button, QColor(192, 192, 192));
    QApplication::setPalette(grey);

    QWidget dialog;
    QPalette pink = dialog.palette();
    pink.setColor(QPalette::Window, QColor(255, 204, 255));
    pink.setColor(QPalette::Button, QColor(255, 204, 255));
    dialog.setPalette(pink);
    CLinkButton button(&dialog);
    button.setGeometry(0, 0, 120, 20);
    dialog.resize(200, 50);
    dialog.show();
    const QImage image = button.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(button.palette().color(QPalette::Button), QColor(255, 204, 255));
    EXPECT_EQ(image.pixelColor(1, 1), QColor(190, 190, 192));
    EXPECT_EQ(image.pixelColor(118, 18), QColor(190, 190, 192));
    QApplication::setPalette(previous);
}

TEST(LinkButtonCursor, HandWithHotSpotOnTheFingerTip)
{
    const QCursor cursor = CLinkButton::LoadHandCursor();
    EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
    EXPECT_EQ(cursor.hotSpot(), QPoint(7, 0));
    const QImage image = cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(32, 32));
    EXPECT_EQ(image.pixelColor(7, 0), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(7, 3), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(image.pixelColor(31, 31).alpha(), 0);
}

class LinkButtonTracking : public ::testing::Test
{
protected:
    void SetUp() override
    {
        parent.resize(300, 100);
        button.setParent(&parent);
        button.setText(QStringLiteral("作者:Velorine"));
        button.setGeometry(20, 30, 160, 24);
        parent.show();
        previous = CLinkButton::SetPointerSource([this] { return pointer; });
    }
    void TearDown() override { CLinkButton::SetPointerSource(previous); }

    QPoint Inside() const { return button.mapToGlobal(QPoint(5, 5)); }
    QPoint Outside() const { return button.mapToGlobal(QPoint(button.width(), 5)); }
    QImage Grab() { return button.grab().toImage().convertToFormat(QImage::Format_RGB32); }

    QWidget parent;
    CLinkButton button;
    QPoint pointer;
    CLinkButton::PointerSource previous;
};

TEST_F(LinkButtonTracking, HoverOnEntryPlainAndStoppedOnLeaving)
{
    EXPECT_FALSE(button.IsTrackingTimerActive());
    EXPECT_FALSE(HasPixel(Grab(), QColor(0, 0, 255)));

    pointer = Inside();
    button.OnMouseMove();
    EXPECT_TRUE(button.IsTrackingTimerActive());
    button.OnTimer(1);
    EXPECT_TRUE(button.IsHover());
    EXPECT_TRUE(CLinkButton::IsHighlightShown());
    EXPECT_EQ(button.InvalidateCount(), 1);
    EXPECT_EQ(button.cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(button.cursor().hotSpot(), QPoint(7, 0));

    // Further ticks inside redraw nothing.
    button.OnTimer(1);
    button.OnTimer(1);
    EXPECT_EQ(button.InvalidateCount(), 1);
    EXPECT_TRUE(button.IsTrackingTimerActive());

    const QImage hover = Grab();
    EXPECT_TRUE(HasPixel(hover, QColor(0, 0, 255)));
    EXPECT_TRUE(button.HasUnderlinedFont());
    // Raised: highlight on the top-left edge, shadow on the bottom-right.
    EXPECT_EQ(hover.pixelColor(3, 0), QColor(button.palette().color(QPalette::Light).rgb()));
    EXPECT_EQ(hover.pixelColor(button.width() - 1, 3),
              QColor(button.palette().color(QPalette::Dark).rgb()));

    // The right edge itself is outside.
    pointer = Outside();
    button.OnTimer(1);
    EXPECT_FALSE(button.IsHover());
    EXPECT_FALSE(CLinkButton::IsHighlightShown());
    EXPECT_FALSE(button.IsTrackingTimerActive());
    EXPECT_EQ(button.InvalidateCount(), 2);
    EXPECT_NE(button.cursor().shape(), Qt::BitmapCursor);
    const QImage plain = Grab();
    EXPECT_FALSE(HasPixel(plain, QColor(0, 0, 255)));
    EXPECT_EQ(plain.pixelColor(3, 0),
              CLinkButton::BackgroundColor(QApplication::palette().color(QPalette::Button)));

    // A move starts tracking again.
    pointer = Inside();
    QTest::mouseMove(&button, QPoint(6, 6));
    EXPECT_TRUE(button.IsTrackingTimerActive());
}

TEST_F(LinkButtonTracking, PressShowsSunkenFrameReleaseClicksAndGoesPlain)
{
    QSignalSpy clicks(&button, &QAbstractButton::clicked);
    pointer = Inside();
    button.OnMouseMove();
    button.OnTimer(1);
    ASSERT_TRUE(button.IsHover());

    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(button.IsPressed());
    button.OnMouseMove();
    button.OnTimer(1);
    // Pressed: the timer stops, the hover look stays and is drawn sunken.
    EXPECT_FALSE(button.IsTrackingTimerActive());
    EXPECT_TRUE(button.IsHover());
    EXPECT_FALSE(CLinkButton::IsHighlightShown());
    const QImage sunken = Grab();
    EXPECT_EQ(sunken.pixelColor(3, 0), QColor(button.palette().color(QPalette::Dark).rgb()));
    EXPECT_EQ(sunken.pixelColor(button.width() - 1, 3),
              QColor(button.palette().color(QPalette::Light).rgb()));
    EXPECT_TRUE(HasPixel(sunken, QColor(0, 0, 255)));
    EXPECT_EQ(clicks.count(), 0);

    const int before = button.InvalidateCount();
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(button.IsPressed());
    EXPECT_FALSE(button.IsHover());
    EXPECT_EQ(button.InvalidateCount(), before + 1);
    EXPECT_FALSE(HasPixel(Grab(), QColor(0, 0, 255)));
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(LinkButtonTracking, DisabledCaptionIsEmbossed)
{
    QFont font = button.font();
    font.setPixelSize(20);
    font.setBold(true);
    button.setFont(font);
    button.setText(QStringLiteral("HIH"));
    QPalette pal = button.palette();
    pal.setColor(QPalette::Light, QColor(255, 255, 255));
    pal.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(128, 128, 128));
    button.setPalette(pal);
    button.setEnabled(false);
    const QPalette applicationPalette = QApplication::palette();
    QPalette face = applicationPalette;
    face.setColor(QPalette::Button, QColor(192, 192, 192));
    QApplication::setPalette(face);

    const QImage image = Grab();
    QApplication::setPalette(applicationPalette);
    EXPECT_EQ(image.pixelColor(1, 1), QColor(190, 190, 192));
    const int grey = RightMost(image, QColor(128, 128, 128));
    const int highlight = RightMost(image, QColor(255, 255, 255));
    ASSERT_GE(grey, 0);
    ASSERT_GE(highlight, 0);
    // The copy's rectangle starts 2 pixels right and down, so centred it lies further right.
    EXPECT_GE(highlight - grey, 1);
    EXPECT_LE(highlight - grey, 2);
}
