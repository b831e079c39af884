#include "app/CVelorineApp.h"

#include "app/CAboutDlg.h"
#include "app/CMainFrame.h"
#include "app/CSysInfoDlg.h"
#include "platform/Guard.h"
#include "platform/Providers.h"
#include "platform/widgets/SingleInstance.h"
#include "res/resource.h"
#include "view/CVelorineDoc.h"
#include "view/CVelorineView.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>
#include <array>
#include <clocale>
#include <optional>

namespace {

// The application's commands. A command listed nowhere is greyed by the command-state pass.
const std::array<CommandEntry<CVelorineApp>, 2> kVelorineAppCommands {{
    {ID_APP_ABOUT, &CVelorineApp::OnAppAbout, nullptr},
    {ID_SYSINFO, &CVelorineApp::OnSysInfo, nullptr},
}};

// Held for the life of the process: the kernel drops it however the process ends.
CSingleInstance &InstanceMarker()
{
    static CSingleInstance marker;
    return marker;
}

} // namespace

bool CVelorineApp::OnCmdMsg(int nID, CCmdUI *pCmdUI)
{
    return DispatchCommandTable<CVelorineApp>(this, kVelorineAppCommands, nID, pCmdUI)
        || CWinApp::OnCmdMsg(nID, pCmdUI);
}

bool CVelorineApp::InitInstance()
{
    // Every copy works on temp.bmp in its current directory, so only one may run.
    if (InstanceMarker().Create() == CSingleInstance::Result::AlreadyRunning) {
        AfxMessageBox(
            QStringLiteral("已经有Velorine!正在运行。由于运行本程序的多个实例可能会导致"
                           "磁盘缓冲区操作冲突，不允许允许第二个实例。请按确定退出本次运行。"),
            MB_OK | MB_ICONSTOP);
        return false;
    }

    SetRegistryKey(QStringLiteral("Local AppWizard-Generated Applications"));
    LoadStdProfileSettings(0);

    AddDocTemplate(std::make_unique<CSingleDocTemplate>(
        IDR_MAINFRAME, [] { return std::make_unique<CVelorineDoc>(); },
        [] { return std::make_unique<CMainFrame>(); }, [] { return new CVelorineView; }));

    if (!ProcessShellCommand())
        return false;

    m_pMainWnd->show();
    if (CView *pView = GetFirstView())
        pView->UpdateWindow();

    if (!m_strStartFile.isEmpty()) {
        if (auto *pView = dynamic_cast<CVelorineView *>(GetFirstView()))
            AfxGuard([&] { pView->OpenPictureFile(m_strStartFile); });
    }
    return true;
}

CVelorineApp::CommandLine CVelorineApp::ParseCommandLine(const QStringList &args)
{
    CommandLine result;
    for (const QString &arg : args) {
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            result.action = CommandLine::Action::Help;
            return result;
        }
        if (arg == QLatin1String("--version")) {
            result.action = CommandLine::Action::Version;
            return result;
        }
    }
    for (const QString &arg : args) {
        if (arg.startsWith(QLatin1Char('-')) && arg != QLatin1String("-")) {
            result.action = CommandLine::Action::Error;
            result.strError = QStringLiteral("unknown option: %1").arg(arg);
            return result;
        }
        if (!result.strFile.isEmpty()) {
            result.action = CommandLine::Action::Error;
            result.strError = QStringLiteral("only one picture can be opened: %1").arg(arg);
            return result;
        }
        result.strFile = arg;
    }
    return result;
}

QString CVelorineApp::UsageText()
{
    return QStringLiteral(
        "Usage: velorine [FILE.bmp]\n"
        "Draws fractal pictures: the Mandelbrot and Julia sets, the Martin and Mira maps,\n"
        "a wallpaper pattern, diffusion-limited aggregation and a simulated leaf.\n"
        "\n"
        "  FILE.bmp    open this picture after the start-up picture\n"
        "  --help      show this text and exit\n"
        "  --version   show the version and exit\n"
        "\n"
        "Working files (temp.bmp, Velorine256.rgb) are written to the current directory.\n");
}

namespace {
// Texts Qt's Chinese catalogue lacks: the file dialog's type column names folders with them.
class QtGapsTranslator : public QTranslator
{
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0)
            return {};
        if (qstrcmp(sourceText, "Folder") == 0)
            return QStringLiteral("文件夹");
        if (qstrcmp(sourceText, "Drive") == 0)
            return QStringLiteral("驱动器");
        if (qstrcmp(sourceText, "Alias") == 0)
            return QStringLiteral("链接");
        return {};
    }
};
} // namespace

QTranslator *CVelorineApp::InstallQtTranslation(const QString &strDir)
{
    auto translator = std::make_unique<QTranslator>(QCoreApplication::instance());
    // The interface is Chinese whatever the user's locale, so the catalogue is named outright.
    if (!translator->load(QStringLiteral("qtbase_zh_CN"), strDir)
        || !QCoreApplication::installTranslator(translator.get()))
        return nullptr;
    QCoreApplication::installTranslator(new QtGapsTranslator(translator.get()));
    return translator.release();
}

namespace {
// The user's own LC_ALL while the Chinese one stands in for it.
std::optional<QByteArray> g_userLcAll;
bool g_bLcAllReplaced = false;
} // namespace

void CVelorineApp::PreferChineseLocale()
{
    if (qEnvironmentVariableIsSet("LC_ALL"))
        g_userLcAll = qgetenv("LC_ALL");
    g_bLcAllReplaced = true;
    qputenv("LC_ALL", "zh_CN.UTF-8");
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
}

void CVelorineApp::RestoreUserLocale()
{
    if (!g_bLcAllReplaced)
        return;
    (void)QLocale::system(); // read now, while the environment still says Chinese
    if (g_userLcAll)
        qputenv("LC_ALL", *g_userLcAll);
    else
        qunsetenv("LC_ALL");
    g_bLcAllReplaced = false;
    std::setlocale(LC_ALL, "");
}

void CVelorineApp::OnAppAbout()
{
    CAboutDlg aboutDlg;
    aboutDlg.DoModal();
}

void CVelorineApp::OnSysInfo()
{
    CSysInfoDlg sysInfoDlg;
    sysInfoDlg.DoModal();
}
