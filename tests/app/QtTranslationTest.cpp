// Qt's own texts in Chinese once the translation is installed at start-up; the program's own
// texts exactly as written.

#include "app/CAboutDlg.h"
#include "app/CMainFrame.h"
#include "app/CVelorineApp.h"
#include "platform/widgets/CWinApp.h"
#include "res/resource.h"
#include "tests/common/TestSupport.h"

#include <QCoreApplication>
#include <QDate>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QMenuBar>
#include <QMimeDatabase>
#include <QPushButton>
#include <QToolButton>
#include <QTranslator>
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace {

QString CancelText()
{
    QDialogButtonBox box(QDialogButtonBox::Cancel);
    return box.button(QDialogButtonBox::Cancel)->text();
}

QString FileDialogBackTip()
{
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    const auto *back = dialog.findChild<QToolButton *>(QStringLiteral("backButton"));
    return back ? back->toolTip() : QString();
}

class QtTranslationTest : public ::testing::Test
{
protected:
    void TearDown() override { translator.reset(); }
    std::unique_ptr<QTranslator> translator;
};

TEST_F(QtTranslationTest, QtsOwnDialogsSpeakChinese)
{
    EXPECT_EQ(CancelText(), QStringLiteral("Cancel"));
    EXPECT_EQ(FileDialogBackTip(), QStringLiteral("Back"));
    const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    translator.reset(CVelorineApp::InstallQtTranslation(dir));
    ASSERT_NE(translator, nullptr)
        << "qtbase_zh_CN.qm missing in " << dir.toStdString() << " (qt6-translations-l10n)";
    EXPECT_EQ(translator->language(), QStringLiteral("zh_CN"));
    EXPECT_EQ(CancelText(), QStringLiteral("取消"));
    EXPECT_EQ(FileDialogBackTip(), QStringLiteral("后退"));
    // The file dialog's type column for a folder, which Qt's catalogue leaves in English.
    EXPECT_EQ(
        QCoreApplication::translate("QAbstractFileIconProvider", "Folder", "All other platforms"),
        QStringLiteral("文件夹"));
}

TEST_F(QtTranslationTest, TheProgramsOwnTextsStayAsWritten)
{
    translator.reset(
        CVelorineApp::InstallQtTranslation(QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    ASSERT_NE(translator, nullptr);
    ScopedTestProviders providers;
    CWinApp app;
    CMainFrame frame;
    ASSERT_TRUE(frame.LoadFrame(IDR_MAINFRAME));
    QStringList menus;
    for (QAction *top : frame.menuBar()->actions())
        menus << top->text();
    EXPECT_EQ(menus,
              QStringList({QStringLiteral("文件(&F)"), QStringLiteral("编辑(&E)"),
                           QStringLiteral("分形(&R)"), QStringLiteral("参数(&P)"),
                           QStringLiteral("选项(&O)"), QStringLiteral("查看(&V)"),
                           QStringLiteral("帮助(&H)")}));
    EXPECT_EQ(frame.FindAction(ID_APP_EXIT)->text(), QStringLiteral("退出\tAlt+X"));
    EXPECT_EQ(frame.FindAction(ID_ZOOM_IN)->text(), QStringLiteral("放大\tZoom In"));
    EXPECT_EQ(frame.FindAction(ID_FILE_SAVE_AS)->statusTip(),
              QStringLiteral("将活动文档以一个新文件名保存"));

    AfxMessageBox(QStringLiteral("Error!"));
    ASSERT_EQ(providers.messages().shown.size(), 1u);
    EXPECT_EQ(providers.messages().shown[0].caption, QStringLiteral("Velorine"));
    CAboutDlg about;
    ASSERT_TRUE(about.Create(false));
    EXPECT_EQ(about.windowTitle(), QStringLiteral("关于Velorine"));
}

TEST_F(QtTranslationTest, QtFormatsInChineseWhileNumbersAndTheEnvironmentStayTheUsers)
{
    qputenv("LC_ALL", "C.UTF-8");
    CVelorineApp::PreferChineseLocale();
    EXPECT_EQ(qgetenv("LC_ALL"), QByteArray("zh_CN.UTF-8"));
    CVelorineApp::RestoreUserLocale();
    EXPECT_EQ(qgetenv("LC_ALL"), QByteArray("C.UTF-8"));
    EXPECT_EQ(QLocale().language(), QLocale::Chinese);
    EXPECT_EQ(QLocale().toString(QDate(2026, 12, 8), QStringLiteral("MMM")),
              QStringLiteral("12月"));
    // The file dialog's type column.
    EXPECT_EQ(QMimeDatabase().mimeTypeForName(QStringLiteral("image/bmp")).comment(),
              QStringLiteral("Windows BMP 图像"));
    // Numbers the program writes stay in the C form.
    char text[16];
    std::snprintf(text, sizeof text, "%.2f", 1.5);
    EXPECT_STREQ(text, "1.50");
    EXPECT_EQ(QString::number(1234.5), QStringLiteral("1234.5"));
    QLocale::setDefault(QLocale::c());
}

TEST_F(QtTranslationTest, WithoutTheFileQtStaysInEnglish)
{
    const QString empty = QDir::current().filePath(QStringLiteral("no-translations"));
    QDir().mkpath(empty);
    EXPECT_EQ(CVelorineApp::InstallQtTranslation(empty), nullptr);
    EXPECT_EQ(CVelorineApp::InstallQtTranslation(QString()), nullptr);
    EXPECT_EQ(CancelText(), QStringLiteral("Cancel"));
}

} // namespace
