#pragma once
// The application object: refuses a second copy, sets up the settings branch and the
// single-document template (document, main frame, view), shows the main window, and handles
// the application-level commands.

#include "platform/widgets/CWinApp.h"

#include <QString>
#include <QStringList>

class QTranslator;

class CVelorineApp : public CWinApp
{
public:
    CVelorineApp() = default;

    bool InitInstance() override;
    bool OnCmdMsg(int nID, CCmdUI *pCmdUI) override;

    // A BMP file to open after the start-up picture, as the Open command would.
    void SetStartFile(const QString &path) { m_strStartFile = path; }

    // What the command line asks for.
    struct CommandLine
    {
        enum class Action {
            Run,
            Help,
            Version,
            Error,
        };
        Action action = Action::Run;
        QString strFile; // Run: the picture to open, may be empty
        QString strError; // Error: what was wrong
    };
    // args without the program name (Qt's own options already taken out).
    static CommandLine ParseCommandLine(const QStringList &args);
    static QString UsageText();

    // Qt's own dialogs and buttons in Chinese: installs qtbase_zh_CN.qm from strDir on the
    // running application, which owns it. Null (and English Qt texts) when the file is missing.
    static QTranslator *InstallQtTranslation(const QString &strDir);
    // Qt reads the locale it formats sizes, dates and file types with from the environment, once,
    // and the interface is Chinese whatever that says. Call before the QApplication is made;
    // once it is, RestoreUserLocale gives the environment and the C library's locale (numbers in
    // files, child processes) back as the user had them.
    static void PreferChineseLocale();
    static void RestoreUserLocale();

    // Help: the About box and the System Information dialog.
    void OnAppAbout();
    void OnSysInfo();

private:
    QString m_strStartFile;
};
