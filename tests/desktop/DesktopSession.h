#pragma once
// The real program on a display of its own, driven only through real X input and judged by what
// a person or another program sees.
//
// Each session starts its own Xvfb (-displayfd, so parallel cases never collide), a temporary
// folder with the program's working folder, HOME, XDG_CONFIG_HOME and runtime folder, and its
// own single-instance name; the shell-open provider is pointed at a recorder script that logs
// every target it is given. To add a case:
//
//     TEST(DesktopSomething, WhatItShows)
//     {
//         DesktopSession s;
//         ASSERT_TRUE(s.Start());            // program up, main window shown
//         const QByteArray before = s.TempBmp();
//         s.DragView({100, 100}, {200, 200});
//         s.Key("KP_Add");
//         EXPECT_TRUE(s.WaitTempBmpChange(before));
//         EXPECT_TRUE(s.Exit());            // Alt+X, clean exit, no sanitizer report
//     }
//
// Every wait polls with a deadline; nothing sleeps a fixed time. To show that something did
// not happen, call Sync() (F1 goes through the program's event queue to the recorder) and then
// look. Register the case's name in nothing: CTest finds every TEST.

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

struct DialogTemplate;

class DesktopSession
{
public:
    DesktopSession();
    ~DesktopSession();
    DesktopSession(const DesktopSession &) = delete;
    DesktopSession &operator=(const DesktopSession &) = delete;

    // Starts Xvfb and the program, waits for the main window and measures the view.
    bool Start(const QStringList &extraEnv = {});
    // The same through another command (a start script), with arguments, from folder dir.
    bool StartCommand(const QString &program, const QStringList &args, const QString &dir,
                      const QStringList &extraEnv = {});
    // A further copy of the program in the same session (same instance name and folder).
    std::unique_ptr<QProcess> StartAnother(const QStringList &extraEnv = {});

    // Alt+X, then a clean exit: code 0 and no sanitizer report.
    bool Exit();
    // Waits for the program to end by itself; true when it ended cleanly.
    bool WaitExited();
    bool Running() const { return m_pProgram && m_pProgram->state() != QProcess::NotRunning; }
    // The same for another copy started by StartAnother.
    bool CheckOtherExit(QProcess &p, int n);
    QString OtherStderr(int n) const; // standard error of the n-th other copy (from 1)
    // Saves a screen grab as name.png in $VELORINE_SHOTS_DIR, when that is set.
    void Shot(const QString &name) const;

    // xdotool key with --clearmodifiers (one or more key names, as xdotool spells them).
    void Key(const QString &keys);
    // xdotool key without clearing modifiers (Num_Lock and keypad keys under NumLock).
    void RawKey(const QString &keys);
    void KeyDown(const QString &key);
    void KeyUp(const QString &key);
    void Type(const QString &text);
    // A menu by its Alt key (such as "alt+f"); true once its popup shows, so that the item keys
    // that follow reach it.
    bool OpenMenu(const QString &altKey);
    void Click(QPoint screen, int button = 1);
    void DoubleClick(QPoint screen);
    void MouseMove(QPoint screen);
    void MouseDown(int button);
    void MouseUp(int button);
    // A left drag over the view, in view coordinates; with bCtrl, Ctrl is held at the release.
    void DragView(QPoint from, QPoint to, bool bCtrl = false);
    void ClickView(QPoint at, int button = 1);
    QPoint ViewToScreen(QPoint view) const { return m_rcView.topLeft() + view; }
    QRect ViewRect() const { return m_rcView; }
    // Centre of a toolbar button by its place (0 = first), in screen coordinates.
    QPoint ToolBarButton(int nIndex) const;
    // Centre and rectangle of control nID of a dialog built from templ, shown as window win.
    QPoint DialogItem(const QString &win, const DialogTemplate &templ, int nID) const;
    QRect DialogItemRect(const QString &win, const DialogTemplate &templ, int nID) const;

    // Writes a 64 x 64 BMP of one colour: opened, it fills the view with that colour.
    static bool WritePicture(const QString &path, QRgb colour);

    // Polls pred until it holds or timeoutMs passes.
    static bool WaitFor(const std::function<bool()> &pred, int timeoutMs = 20000);

    QString WorkDir() const;
    QString Root() const { return m_dir.path(); } // the session's folder, outside WorkDir
    QString File(const QString &name) const; // absolute path in the working folder
    // temp.bmp when it is whole; empty while missing or half written.
    QByteArray TempBmp() const;
    bool WaitTempBmpChange(const QByteArray &before);

    // The screen as `import -window root` grabs it.
    QImage Grab() const;
    QRgb Pixel(QPoint screen) const { return Grab().pixel(screen); }
    static bool IsGrey(QRgb c) { return qRed(c) == qGreen(c) && qGreen(c) == qBlue(c); }
    // Grey where the menu bar is in the normal window; the picture in full screen.
    bool MenuBarOnScreen() const { return IsGrey(Pixel(QPoint(5, 5))); }
    // The X clipboard's PNG as another client (xclip) reads it; null when none.
    QImage ClipboardPng() const;
    // Ctrl+A, then Edit > Copy: the clipboard's PNG once another client can read one; null
    // when none came in time.
    QImage SelectAllAndCopy();

    // Visible windows of the program (or of another process): ids and titles.
    QStringList WindowIds(qint64 pid = 0) const;
    QString WindowName(const QString &id) const;
    QRect WindowGeometry(const QString &id) const;
    // The first visible window of the program whose title contains text; empty on timeout.
    QString WaitWindow(const QString &text, int timeoutMs = 20000, qint64 pid = 0);
    // Waits until window id is gone, then gives the keyboard back to the main window.
    bool WaitWindowGone(const QString &id, int timeoutMs = 20000);
    // Gives window id the keyboard, as a window manager would on a click.
    void Focus(const QString &id) const;
    // Asks window id to close, as a window manager does for a click on its close box.
    bool CloseBox(const QString &id) const;
    QString RootWindow() const;
    // Keys meant for the main window, pressed until done() holds (three times at the most).
    bool KeyToMain(const QString &keys, const std::function<bool()> &done);
    QString MainWindow() const { return m_strMainWindow; }
    QString MainTitle() const { return WindowName(m_strMainWindow); }
    bool WaitMainTitle(const QString &text);

    // Targets the program asked the shell to open, in order.
    QStringList Opened() const;
    bool WaitOpenedCount(int n);
    // F1 (help) through the program's queue: everything sent before it has been handled.
    bool Sync();

    QString ProgramStderr() const;
    // Runs a tool on this display; its standard output.
    QByteArray Tool(const QString &program, const QStringList &args, int *pExit = nullptr) const;
    QProcessEnvironment ProgramEnvironment(const QStringList &extraEnv) const;

private:
    bool StartXvfb();
    bool MeasureView();
    bool CheckExit(QProcess &p, const QString &errFile);
    void Xdo(const QStringList &args) const;

    QTemporaryDir m_dir;
    QString m_strDisplay;
    std::unique_ptr<QProcess> m_pXvfb;
    std::unique_ptr<QProcess> m_pProgram;
    QString m_strMainWindow;
    QRect m_rcView;
    int m_nAnother = 0;
    bool m_bExited = false;
};
