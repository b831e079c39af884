// Writes the main window, each top-level menu open over it, the three parameter dialogs and the
// About dialog as PNG files into the folder named by VELORINE_SHOTS, for looking at
// (scripts/view-shots.sh) and for comparing two builds pixel by pixel.

#include "app/CAboutDlg.h"
#include "app/CMainFrame.h"
#include "platform/widgets/CDialog.h"
#include "platform/widgets/CWinApp.h"
#include "res/resource.h"
#include "tests/common/SingleDocument.h"
#include "tests/common/TestSupport.h"
#include "view/CVelorineDoc.h"
#include "view/CVelorineView.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <memory>

namespace {

class WindowShots : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = qEnvironmentVariable("VELORINE_SHOTS");
        ASSERT_FALSE(m_dir.isEmpty()) << "VELORINE_SHOTS names no folder";
        QDir().mkpath(m_dir);
        m_pApp = std::make_unique<CWinApp>();
        m_pTemplate = AddSingleDocTemplate<CVelorineDoc, CMainFrame, CVelorineView>(*m_pApp);
        m_pFrame = OpenAndShow<CMainFrame>(*m_pTemplate);
        ASSERT_NE(m_pFrame, nullptr);
    }
    void TearDown() override
    {
        CDialog::SetModalHook(nullptr);
        if (m_pTemplate)
            m_pTemplate->CloseAll();
        m_pApp.reset();
    }
    // Runs the command and saves the dialog it opens as it first shows.
    void ShootDialogOf(int nID, const QString &name)
    {
        bool bShot = false;
        CDialog::SetModalHook([&](CDialog &dlg) {
            QCoreApplication::processEvents();
            bShot = dlg.grab().save(m_dir + "/" + name + ".png");
        });
        ASSERT_TRUE(m_pFrame->RouteCommand(nID)) << name.toStdString();
        CDialog::SetModalHook(nullptr);
        EXPECT_TRUE(bShot) << name.toStdString();
    }

    ScopedTestProviders m_providers;
    QString m_dir;
    std::unique_ptr<CWinApp> m_pApp;
    CSingleDocTemplate *m_pTemplate = nullptr;
    CMainFrame *m_pFrame = nullptr;
};

TEST_F(WindowShots, TheMainWindowAndEachMenuOpen)
{
    EXPECT_TRUE(m_pFrame->grab().save(m_dir + "/window-main.png"));
    int n = 0;
    for (QAction *pItem : m_pFrame->menuBar()->actions()) {
        QMenu *pMenu = pItem->menu();
        if (!pMenu)
            continue;
        const QRect item = m_pFrame->menuBar()->actionGeometry(pItem);
        pMenu->popup(m_pFrame->menuBar()->mapToGlobal(item.bottomLeft()));
        QCoreApplication::processEvents();
        QPixmap shot = m_pFrame->grab();
        QPainter painter(&shot);
        painter.drawPixmap(m_pFrame->mapFromGlobal(pMenu->pos()), pMenu->grab());
        painter.end();
        EXPECT_TRUE(shot.save(m_dir + QStringLiteral("/window-menu-%1.png").arg(++n)));
        pMenu->hide();
        QCoreApplication::processEvents();
    }
    EXPECT_GT(n, 0);
}

TEST_F(WindowShots, TheParameterDialogs)
{
    ShootDialogOf(ID_MARTIN_PARAMS, QStringLiteral("window-dialog-martin"));
    ShootDialogOf(ID_MIRA_PARAMS, QStringLiteral("window-dialog-mira"));
    ShootDialogOf(ID_JULIA_PARAMS, QStringLiteral("window-dialog-julia"));
}

TEST_F(WindowShots, TheAboutDialog)
{
    bool bShot = false;
    CDialog::SetModalHook([&](CDialog &dlg) {
        QCoreApplication::processEvents();
        bShot = dlg.grab().save(m_dir + "/window-about.png");
    });
    CAboutDlg about;
    about.DoModal();
    EXPECT_TRUE(bShot);
}

} // namespace
