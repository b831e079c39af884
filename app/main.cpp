// The window program: Qt, the widget providers, the application object, its start-up and its
// message loop.

#include "app/CVelorineApp.h"
#include "platform/widgets/CFrameWnd.h"
#include "platform/widgets/WidgetProviders.h"
#include "res/Resources.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QIcon>
#include <QLibraryInfo>
#include <QMenuBar>
#include <QThread>
#include <QTimer>
#include <cstdio>

namespace {

// For tests of the real program: VELORINE_RUN_COMMANDS is a comma-separated list of command
// ids (such as "32809" or "57665") routed through the main frame, in order, as soon as the
// message loop runs.
void RunCommandsFromEnvironment()
{
    const QStringList ids
        = qEnvironmentVariable("VELORINE_RUN_COMMANDS").split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (ids.isEmpty())
        return;
    QTimer::singleShot(0, [ids] {
        for (const QString &id : ids) {
            bool bOk = false;
            const int nID = id.trimmed().toInt(&bOk);
            if (CFrameWnd *pMain = AfxGetMainWnd(); bOk && pMain)
                pMain->RouteCommand(nID);
        }
    });
}

// For screenshots: VELORINE_OPEN_MENU=N opens the N-th menu of the menu bar once the window
// is up.
void OpenMenuFromEnvironment()
{
    bool bOk = false;
    const int nMenu = qEnvironmentVariableIntValue("VELORINE_OPEN_MENU", &bOk);
    if (!bOk)
        return;
    QTimer::singleShot(0, [nMenu] {
        CFrameWnd *pMain = AfxGetMainWnd();
        const QList<QAction *> menus = pMain ? pMain->menuBar()->actions() : QList<QAction *>();
        if (nMenu >= 0 && nMenu < menus.size())
            pMain->menuBar()->setActiveAction(menus[nMenu]);
    });
}

// For tests of input that arrives while a command runs: VELORINE_HOLD_AFTER_COMMAND=ID:FILE
// keeps the program busy, handling nothing, after each run of command ID from its menu item or
// toolbar button: it creates FILE and waits until FILE is removed (a minute at the most), so
// whatever a test sends meanwhile is queued behind the command.
void HoldAfterCommandFromEnvironment()
{
    const QString hold = qEnvironmentVariable("VELORINE_HOLD_AFTER_COMMAND");
    bool bOk = false;
    const int nID = hold.section(QLatin1Char(':'), 0, 0).toInt(&bOk);
    const QString file = hold.section(QLatin1Char(':'), 1);
    CFrameWnd *pMain = AfxGetMainWnd();
    QAction *action = bOk && !file.isEmpty() && pMain ? pMain->FindAction(nID) : nullptr;
    if (!action)
        return;
    // Connected after the frame's own slot, so this runs once the command has run.
    QObject::connect(action, &QAction::triggered, [file] {
        QFile marker(file);
        if (!marker.open(QIODevice::WriteOnly))
            return;
        marker.close();
        const QDeadlineTimer deadline(60000);
        while (QFile::exists(file) && !deadline.hasExpired())
            QThread::msleep(10);
    });
}

} // namespace

int main(int argc, char *argv[])
{
    // Help and version need no display, so they are answered before Qt starts.
    QStringList raw;
    for (int i = 1; i < argc; ++i)
        raw << QString::fromLocal8Bit(argv[i]);
    if (const auto early = CVelorineApp::ParseCommandLine(raw).action;
        early == CVelorineApp::CommandLine::Action::Help) {
        std::fputs(CVelorineApp::UsageText().toUtf8().constData(), stdout);
        return 0;
    } else if (early == CVelorineApp::CommandLine::Action::Version) {
        std::printf("velorine %s\n", VELORINE_VERSION);
        return 0;
    }

    CVelorineApp::PreferChineseLocale();
    QApplication qapp(argc, argv);
    CVelorineApp::RestoreUserLocale();
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    const CVelorineApp::CommandLine line = CVelorineApp::ParseCommandLine(args);
    if (line.action == CVelorineApp::CommandLine::Action::Error) {
        std::fprintf(stderr, "velorine: %s\n%s", line.strError.toUtf8().constData(),
                     CVelorineApp::UsageText().toUtf8().constData());
        return 2;
    }

    // The program's own texts are fixed Chinese strings; this reaches only Qt's own ones.
    CVelorineApp::InstallQtTranslation(QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    InitResourcePictures();
    QApplication::setWindowIcon(ProgramIcon());
    InstallWidgetProviders();

    int result = 0;
    {
        CVelorineApp app;
        app.SetStartFile(line.strFile);
        if (!app.InitInstance())
            return 0;
        RunCommandsFromEnvironment();
        OpenMenuFromEnvironment();
        HoldAfterCommandFromEnvironment();
        result = app.Run();
    }
    return result;
}
