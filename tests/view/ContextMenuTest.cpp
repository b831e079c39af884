// The right-button menu and the display-mode commands: what the menu shows, where, what a
// choice runs, the zoom-display toggles, leaving at once and the help file.

#include "tests/common/WidgetTestAccess.h"
#include "tests/view/ViewFixture.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <filesystem>

namespace {

struct ShownItem
{
    int nID;
    QString text;
    bool bEnabled;
    bool bChecked;
    bool operator==(const ShownItem &) const = default;
};

void PrintTo(const ShownItem &item, std::ostream *os)
{
    *os << item.nID << " \"" << item.text.toStdString() << "\"" << (item.bEnabled ? "" : " grey")
        << (item.bChecked ? " checked" : "");
}

// Counts the view's paint events.
class PaintCounter : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
    int count = 0;
};

class ContextMenuTest : public ViewFixture
{
protected:
    void SetUp() override
    {
        ViewFixture::SetUp();
        CVelorineView::SetContextMenuChooser([this](QMenu &menu, QPoint screenPoint) {
            ++m_nShown;
            m_title = menu.title();
            m_at = screenPoint;
            m_items.clear();
            for (const QAction *a : menu.actions())
                m_items.push_back({a->isSeparator() ? 0 : a->data().toInt(), a->text(),
                                   a->isEnabled(), a->isChecked()});
            return m_nChoice;
        });
    }
    void TearDown() override
    {
        CVelorineView::SetContextMenuChooser(nullptr);
        ViewFixture::TearDown();
    }
    // A right-button press at p with the menu answered by nChoice (0: closed with no choice).
    void RightClick(QPoint p, int nChoice)
    {
        m_nChoice = nChoice;
        QTest::mousePress(m_pView, Qt::RightButton, {}, p);
        QTest::mouseRelease(m_pView, Qt::RightButton, {}, p);
    }
    bool ZoomDisplayChecked()
    {
        return TestAccess<CMenu>::MenuState(*m_pFrame->GetMenu(), ID_ZOOM_DISPLAY) & MF_CHECKED;
    }

    int m_nChoice = 0;
    int m_nShown = 0;
    QString m_title;
    QPoint m_at;
    std::vector<ShownItem> m_items;
};

TEST_F(ContextMenuTest, ARightPressShowsTheMenuAtThePointer)
{
    m_pFrame->move(40, 30);
    RightClick(QPoint(123, 45), 0);
    ASSERT_EQ(m_nShown, 1);
    EXPECT_EQ(m_title, QStringLiteral("右键菜单"));
    EXPECT_EQ(m_at, m_pView->mapToGlobal(QPoint(123, 45)));
    const std::vector<ShownItem> expected {
        {ID_CTX_ZOOM_IN, QStringLiteral("放大所选区域\tNum'+'"), true, false},
        {ID_CTX_SELECT_ALL, QStringLiteral("全选\tCtrl+A"), true, false},
        {ID_CTX_COPY, QStringLiteral("复制\tCtrl+C"), true, false},
        {0, QString(), true, false},
        {ID_CTX_FULL_SCREEN, QStringLiteral("全屏\tESC"), true, false},
        {ID_CTX_NO_MENU, QStringLiteral("有工具条的全屏\tCtrl+F"), true, false},
        {ID_CTX_ZOOM_DISPLAY, QStringLiteral("缩放显示\tNum'*'"), true, false},
        {0, QString(), true, false},
        {ID_CTX_QUIT, QStringLiteral("退出Velorine!\tAlt+X"), true, false},
    };
    EXPECT_EQ(m_items, expected);

    // Closed without a choice: nothing ran. A left press shows no menu.
    EXPECT_TRUE(m_pDoc->m_bZoomDisplay);
    EXPECT_FALSE(m_pView->m_bSelectionShown);
    QTest::mouseClick(m_pView, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(m_nShown, 1);
}

TEST_F(ContextMenuTest, APressLeftOfAndAboveTheViewOpensTheMenuThere)
{
    // While a drag holds the mouse, a right press beyond the view's top-left corner still
    // reaches it, at negative client coordinates.
    m_pFrame->move(300, 200);
    QTest::mousePress(m_pView, Qt::LeftButton, {}, QPoint(50, 40));
    const QPoint outside(-20, -7);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(outside),
                      m_pView->mapToGlobal(QPointF(outside)), Qt::RightButton,
                      Qt::LeftButton | Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(m_pView, &press);
    ASSERT_EQ(m_nShown, 1);
    EXPECT_EQ(m_at, m_pView->mapToGlobal(outside));
    QTest::mouseRelease(m_pView, Qt::LeftButton, {}, QPoint(50, 40));
}

TEST_F(ContextMenuTest, AChoiceRunsThroughTheRoutingBeforeThePressGoesOn)
{
    RightClick(QPoint(10, 10), ID_CTX_SELECT_ALL);
    EXPECT_TRUE(m_pView->m_bSelectionShown);
    EXPECT_TRUE(IsEnabled(ID_EDIT_COPY));
    // The select-all item does what the main one does, and so does the zoom item: Select All
    // is not a pending zoom, so it redraws the window unchanged.
    RightClick(QPoint(10, 10), ID_CTX_ZOOM_IN);
    EXPECT_FALSE(m_pView->m_bSelectionShown);
    EXPECT_EQ(m_pView->m_params.m_dMandelXMin, -2.25);
}

TEST_F(ContextMenuTest, TheRealMenuClosesOnEscapeAndRunsAnItemChosenWithTheKeys)
{
    CVelorineView::SetContextMenuChooser(nullptr);
    auto keys = [](std::vector<Qt::Key> sequence) {
        QTimer::singleShot(0, [sequence] {
            QWidget *popup = QApplication::activePopupWidget();
            ASSERT_NE(popup, nullptr);
            for (Qt::Key key : sequence)
                QTest::keyClick(popup, key);
        });
    };
    keys({Qt::Key_Escape});
    RightClick(QPoint(20, 20), 0);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_FALSE(m_pView->m_bSelectionShown);
    EXPECT_TRUE(m_pDoc->m_bZoomDisplay);

    keys({Qt::Key_Down, Qt::Key_Down, Qt::Key_Return});
    RightClick(QPoint(20, 20), 0);
    EXPECT_TRUE(m_pView->m_bSelectionShown);
}

TEST_F(ContextMenuTest, ZoomDisplayTogglesFlagAndCheckMarkButNeverChecksTheMenuItem)
{
    ASSERT_TRUE(ZoomDisplayChecked());
    ASSERT_TRUE(Route(ID_ZOOM_DISPLAY));
    EXPECT_FALSE(m_pDoc->m_bZoomDisplay);
    EXPECT_FALSE(ZoomDisplayChecked());
    RightClick(QPoint(10, 10), ID_CTX_ZOOM_DISPLAY);
    EXPECT_TRUE(m_pDoc->m_bZoomDisplay);
    EXPECT_TRUE(ZoomDisplayChecked());
    RightClick(QPoint(10, 10), ID_CTX_ZOOM_DISPLAY);
    EXPECT_FALSE(m_pDoc->m_bZoomDisplay);
    EXPECT_FALSE(ZoomDisplayChecked());
    RightClick(QPoint(10, 10), 0);
    ASSERT_EQ(m_items.size(), 9u);
    EXPECT_FALSE(m_items[6].bChecked);
    ASSERT_TRUE(Route(ID_ZOOM_DISPLAY));
    EXPECT_TRUE(m_pDoc->m_bZoomDisplay);
    EXPECT_TRUE(ZoomDisplayChecked());
}

TEST_F(ContextMenuTest, TheToggleRepaintsNothingAndTheMenuFormCarriesOutAPendingRepaint)
{
    SetClientSize(800, 600);
    QCoreApplication::processEvents();
    PaintCounter paints;
    m_pView->installEventFilter(&paints);
    ASSERT_TRUE(Route(ID_ZOOM_DISPLAY));
    QCoreApplication::processEvents();
    EXPECT_EQ(paints.count, 0);
    EXPECT_FALSE(TestAccess<CView>::IsUpdatePending(*m_pView));

    // With nothing pending the menu form paints nothing either.
    RightClick(QPoint(10, 10), ID_CTX_ZOOM_DISPLAY);
    EXPECT_EQ(paints.count, 0);
    m_pView->Invalidate();
    RightClick(QPoint(10, 10), ID_CTX_ZOOM_DISPLAY);
    EXPECT_EQ(paints.count, 1);
    EXPECT_FALSE(TestAccess<CView>::IsUpdatePending(*m_pView));
    m_pView->removeEventFilter(&paints);

    // The next paint draws by the new flag: unscaled, lavender beyond the picture.
    EXPECT_FALSE(m_pDoc->m_bZoomDisplay);
    EXPECT_EQ(Grab().pixel(700, 550), qRgb(204, 204, 255));
}

TEST_F(ContextMenuTest, HelpOpensTheHelpFileOfTheCurrentDirectory)
{
    ASSERT_TRUE(Route(ID_HELP_TOPICS));
    ASSERT_EQ(m_providers.shell().opened.size(), 1u);
    EXPECT_EQ(m_providers.shell().opened[0], QStringLiteral("VELORINE.HLP"));
    EXPECT_TRUE(m_providers.messages().shown.empty());
}

TEST_F(ContextMenuTest, QuitEndsTheEventLoopWithoutClosingTheWindowAndKeepsTheWorkingFiles)
{
    QTimer::singleShot(0, m_pView, [this] { RightClick(QPoint(20, 20), ID_CTX_QUIT); });
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_TRUE(m_pFrame->isVisible());
    m_pTemplate->CloseAll();
    m_pTemplate = nullptr;
    EXPECT_TRUE(std::filesystem::exists("temp.bmp"));
    EXPECT_TRUE(std::filesystem::exists("Velorine256.rgb"));
}

} // namespace
