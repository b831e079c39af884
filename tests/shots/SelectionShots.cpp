// Writes a drag in progress and the open right-button menu as PNG files into the folder named
// by VELORINE_SHOTS, for looking at (scripts/view-shots.sh).

#include "tests/view/ViewFixture.h"

#include <QDir>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QTest>
#include <array>

namespace {

class SelectionShots : public ViewFixture
{
protected:
    void SetUp() override
    {
        m_dir = qEnvironmentVariable("VELORINE_SHOTS");
        ASSERT_FALSE(m_dir.isEmpty()) << "VELORINE_SHOTS names no folder";
        ViewFixture::SetUp();
        QDir().mkpath(m_dir);
        const std::array<unsigned, 3> panes {0, 0, 0};
        m_pFrame->CreateStatusBar(panes);
        QCoreApplication::processEvents();
    }
    void TearDown() override
    {
        CVelorineView::SetContextMenuChooser(nullptr);
        if (!m_dir.isEmpty())
            ViewFixture::TearDown();
    }
    QString m_dir;
};

TEST_F(SelectionShots, ADragInProgressAndTheOpenMenu)
{
    QTest::mousePress(m_pView, Qt::LeftButton, {}, QPoint(300, 330));
    QTest::mouseMove(m_pView, QPoint(200, 250));
    QTest::mouseMove(m_pView, QPoint(110, 170));
    QCoreApplication::processEvents();
    EXPECT_TRUE(m_pFrame->grab().save(m_dir + "/selection-drag.png"));
    QTest::mouseRelease(m_pView, Qt::LeftButton, {}, QPoint(110, 170));

    // The menu as it opens at the pointer, drawn over the window.
    CVelorineView::SetContextMenuChooser([this](QMenu &menu, QPoint screenPoint) {
        menu.popup(screenPoint);
        QCoreApplication::processEvents();
        QPixmap shot = m_pFrame->grab();
        QPainter painter(&shot);
        painter.drawPixmap(m_pFrame->mapFromGlobal(menu.pos()), menu.grab());
        painter.end();
        EXPECT_TRUE(shot.save(m_dir + "/context-menu.png"));
        menu.hide();
        return 0;
    });
    QTest::mouseClick(m_pView, Qt::RightButton, {}, QPoint(180, 140));
}

} // namespace
