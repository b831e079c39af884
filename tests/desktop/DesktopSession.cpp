#include "tests/desktop/DesktopSession.h"

#include "res/DialogTemplate.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>
#include <gtest/gtest.h>

#include <cmath>
#include <unistd.h>

namespace {

constexpr int kStartTimeoutMs = 30000;

QByteArray ReadAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Short pause between polls: lets other processes run; not a wait for anything.
void Poll()
{
    QCoreApplication::processEvents();
    QThread::msleep(25);
}

} // namespace

DesktopSession::DesktopSession()
{
    QDir root(m_dir.path());
    root.mkpath(QStringLiteral("work"));
    root.mkpath(QStringLiteral("home/.config"));
    root.mkpath(QStringLiteral("runtime"));
    QFile::setPermissions(root.filePath(QStringLiteral("runtime")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // The shell-open recorder: one line per target.
    const QString recorder = root.filePath(QStringLiteral("open-recorder.sh"));
    QFile f(recorder);
    if (f.open(QIODevice::WriteOnly)) {
        f.write("#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"$(dirname \"$0\")/opened.txt\"\n");
        f.close();
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
}

DesktopSession::~DesktopSession()
{
    if (m_pProgram && m_pProgram->state() != QProcess::NotRunning) {
        m_pProgram->kill();
        m_pProgram->waitForFinished(5000);
    }
    if (m_pXvfb && m_pXvfb->state() != QProcess::NotRunning) {
        m_pXvfb->terminate();
        if (!m_pXvfb->waitForFinished(5000)) {
            m_pXvfb->kill();
            m_pXvfb->waitForFinished(5000);
        }
    }
}

bool DesktopSession::StartXvfb()
{
    m_pXvfb = std::make_unique<QProcess>();
    m_pXvfb->setProcessChannelMode(QProcess::SeparateChannels);
    m_pXvfb->setStandardErrorFile(QDir(m_dir.path()).filePath(QStringLiteral("xvfb.log")));
    // The server writes its display number to standard output once it accepts clients.
    m_pXvfb->start(QStringLiteral(VELORINE_XVFB),
                   {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                    QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                    QStringLiteral("tcp"), QStringLiteral("-noreset")});
    if (!m_pXvfb->waitForStarted(kStartTimeoutMs))
        return false;
    QByteArray out;
    const bool bUp = WaitFor(
        [&] {
            m_pXvfb->waitForReadyRead(50);
            out += m_pXvfb->readAllStandardOutput();
            return out.contains('\n') || m_pXvfb->state() == QProcess::NotRunning;
        },
        kStartTimeoutMs);
    if (!bUp || !out.contains('\n'))
        return false;
    m_strDisplay = QStringLiteral(":") + QString::fromLatin1(out.trimmed());
    return true;
}

QProcessEnvironment DesktopSession::ProgramEnvironment(const QStringList &extraEnv) const
{
    const QDir root(m_dir.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_strDisplay);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("HOME"), root.filePath(QStringLiteral("home")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), root.filePath(QStringLiteral("home/.config")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), root.filePath(QStringLiteral("runtime")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), root.filePath(QStringLiteral("home/.local/share")));
    env.insert(QStringLiteral("VELORINE_INSTANCE_NAME"),
               QStringLiteral("velorine-desktop-%1-%2")
                   .arg(QCoreApplication::applicationPid())
                   .arg(QFileInfo(m_dir.path()).fileName()));
    env.insert(QStringLiteral("VELORINE_SHELL_OPEN"),
               root.filePath(QStringLiteral("open-recorder.sh")));
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    env.remove(QStringLiteral("SESSION_MANAGER"));
    // A display of its own has no session bus either.
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
               QStringLiteral("unix:path=") + root.filePath(QStringLiteral("runtime/no-bus")));
    for (const QString &kv : extraEnv) {
        const qsizetype eq = kv.indexOf(QLatin1Char('='));
        if (eq > 0)
            env.insert(kv.left(eq), kv.mid(eq + 1));
    }
    return env;
}

bool DesktopSession::Start(const QStringList &extraEnv)
{
    return StartCommand(QStringLiteral(VELORINE_PROGRAM), {}, WorkDir(), extraEnv);
}

bool DesktopSession::StartCommand(const QString &program, const QStringList &args,
                                  const QString &dir, const QStringList &extraEnv)
{
    if (!m_dir.isValid() || !StartXvfb()) {
        ADD_FAILURE() << "Xvfb did not start";
        return false;
    }
    m_pProgram = std::make_unique<QProcess>();
    m_pProgram->setProcessEnvironment(ProgramEnvironment(extraEnv));
    m_pProgram->setWorkingDirectory(dir);
    m_pProgram->setStandardOutputFile(QDir(m_dir.path()).filePath(QStringLiteral("out.log")));
    m_pProgram->setStandardErrorFile(QDir(m_dir.path()).filePath(QStringLiteral("err.log")));
    m_pProgram->start(program, args);
    if (!m_pProgram->waitForStarted(kStartTimeoutMs)) {
        ADD_FAILURE() << "the program did not start";
        return false;
    }
    m_strMainWindow = WaitWindow(QStringLiteral("Mandelbrot"), kStartTimeoutMs);
    if (m_strMainWindow.isEmpty()) {
        ADD_FAILURE() << "no main window; stderr:\n" << ProgramStderr().toStdString();
        return false;
    }
    // The first picture is on screen once temp.bmp exists and the view shows it.
    if (!WaitFor([this] { return !TempBmp().isEmpty(); }) || !MeasureView()) {
        ADD_FAILURE() << "the view was not found on screen";
        return false;
    }
    // With no window manager nobody gives the new window the keyboard: do what one would.
    Focus(m_strMainWindow);
    if (!Sync()) {
        ADD_FAILURE() << "keys do not reach the program";
        return false;
    }
    return true;
}

bool DesktopSession::MeasureView()
{
    // The first picture fills the view: its edges are where the grey frame, toolbar and status
    // bar give way to colour, on the column just inside the window's right edge.
    return WaitFor([this] {
        const QRect win = WindowGeometry(m_strMainWindow);
        const QImage screen = Grab();
        if (win.isEmpty() || screen.isNull())
            return false;
        const int x = win.right() - 2;
        int top = -1;
        int bottom = -1;
        for (int y = win.top(); y <= win.bottom(); ++y) {
            if (!DesktopSession::IsGrey(screen.pixel(x, y))) {
                if (top < 0)
                    top = y;
                bottom = y;
            }
        }
        if (top < 0 || bottom - top < 100)
            return false;
        m_rcView = QRect(QPoint(win.left(), top), QPoint(win.right(), bottom));
        return true;
    });
}

std::unique_ptr<QProcess> DesktopSession::StartAnother(const QStringList &extraEnv)
{
    auto p = std::make_unique<QProcess>();
    p->setProcessEnvironment(ProgramEnvironment(extraEnv));
    p->setWorkingDirectory(WorkDir());
    const QString base = QDir(m_dir.path()).filePath(QStringLiteral("another%1").arg(++m_nAnother));
    p->setStandardOutputFile(base + QStringLiteral(".out"));
    p->setStandardErrorFile(base + QStringLiteral(".err"));
    p->start(QStringLiteral(VELORINE_PROGRAM), {});
    p->waitForStarted(kStartTimeoutMs);
    return p;
}

bool DesktopSession::CheckExit(QProcess &p, const QString &errFile)
{
    // waitForFinished is false for a process already seen to end.
    if (p.state() != QProcess::NotRunning && !p.waitForFinished(kStartTimeoutMs)) {
        ADD_FAILURE() << "the program did not end";
        return false;
    }
    const QString err = QString::fromUtf8(ReadAll(errFile));
    const bool bReport
        = err.contains(QLatin1String("Sanitizer")) || err.contains(QLatin1String("runtime error:"));
    EXPECT_FALSE(bReport) << err.toStdString();
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0) << err.toStdString();
    return !bReport && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool DesktopSession::WaitExited()
{
    m_bExited = true;
    return CheckExit(*m_pProgram, QDir(m_dir.path()).filePath(QStringLiteral("err.log")));
}

bool DesktopSession::CheckOtherExit(QProcess &p, int n)
{
    return CheckExit(p, QDir(m_dir.path()).filePath(QStringLiteral("another%1.err").arg(n)));
}

QString DesktopSession::OtherStderr(int n) const
{
    return QString::fromUtf8(
        ReadAll(QDir(m_dir.path()).filePath(QStringLiteral("another%1.err").arg(n))));
}

void DesktopSession::Shot(const QString &name) const
{
    const QString dir = qEnvironmentVariable("VELORINE_SHOTS_DIR");
    if (!dir.isEmpty() && QDir().mkpath(dir))
        Grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
}

bool DesktopSession::Exit()
{
    KeyToMain(QStringLiteral("alt+x"),
              [this] { return m_pProgram->state() == QProcess::NotRunning; });
    return WaitExited();
}

QByteArray DesktopSession::Tool(const QString &program, const QStringList &args, int *pExit) const
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_strDisplay);
    // The tools are system programs: sanitizer options meant for the program stay away.
    env.remove(QStringLiteral("LD_PRELOAD"));
    p.setProcessEnvironment(env);
    p.start(program, args);
    p.waitForFinished(kStartTimeoutMs);
    if (pExit)
        *pExit = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return p.readAllStandardOutput();
}

void DesktopSession::Xdo(const QStringList &args) const
{
    Tool(QStringLiteral(VELORINE_XDOTOOL), args);
}

void DesktopSession::Key(const QString &keys)
{
    Xdo(QStringList {QStringLiteral("key"), QStringLiteral("--clearmodifiers")}
        + keys.split(QLatin1Char(' '), Qt::SkipEmptyParts));
}

void DesktopSession::RawKey(const QString &keys)
{
    Xdo(QStringList {QStringLiteral("key")} + keys.split(QLatin1Char(' '), Qt::SkipEmptyParts));
}

void DesktopSession::KeyDown(const QString &key)
{
    Xdo({QStringLiteral("keydown"), key});
}

void DesktopSession::KeyUp(const QString &key)
{
    Xdo({QStringLiteral("keyup"), key});
}

void DesktopSession::Type(const QString &text)
{
    Xdo({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("5"), text});
}

bool DesktopSession::OpenMenu(const QString &altKey)
{
    const qsizetype n = WindowIds().size();
    return KeyToMain(altKey, [&] { return WindowIds().size() > n; });
}

bool DesktopSession::KeyToMain(const QString &keys, const std::function<bool()> &done)
{
    // Qt can take the main window's focus-in while a dialog that has just gone still blocks
    // it; it then hands the focus to the gone dialog and the program has no active window,
    // though X gives the main window the keys. Taking the focus away and back ends that.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (attempt > 0) {
            Xdo({QStringLiteral("windowfocus"), RootWindow()});
            Focus(m_strMainWindow);
        }
        Key(keys);
        if (WaitFor(done, 4000))
            return true;
    }
    return false;
}

QString DesktopSession::RootWindow() const
{
    return QString::fromLatin1(Tool(QStringLiteral(VELORINE_XDOTOOL),
                                    {QStringLiteral("search"), QStringLiteral("--maxdepth"),
                                     QStringLiteral("0"), QStringLiteral("")}))
        .trimmed();
}

void DesktopSession::MouseMove(QPoint screen)
{
    Xdo({QStringLiteral("mousemove"), QString::number(screen.x()), QString::number(screen.y())});
}

void DesktopSession::MouseDown(int button)
{
    Xdo({QStringLiteral("mousedown"), QString::number(button)});
}

void DesktopSession::MouseUp(int button)
{
    Xdo({QStringLiteral("mouseup"), QString::number(button)});
}

void DesktopSession::Click(QPoint screen, int button)
{
    MouseMove(screen);
    Xdo({QStringLiteral("click"), QString::number(button)});
}

void DesktopSession::DoubleClick(QPoint screen)
{
    MouseMove(screen);
    Xdo({QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"),
         QStringLiteral("--delay"), QStringLiteral("60"), QStringLiteral("1")});
}

void DesktopSession::ClickView(QPoint at, int button)
{
    Click(ViewToScreen(at), button);
}

void DesktopSession::DragView(QPoint from, QPoint to, bool bCtrl)
{
    MouseMove(ViewToScreen(from));
    MouseDown(1);
    MouseMove(ViewToScreen((from + to) / 2));
    MouseMove(ViewToScreen(to));
    if (bCtrl)
        KeyDown(QStringLiteral("ctrl"));
    MouseUp(1);
    if (bCtrl)
        KeyUp(QStringLiteral("ctrl"));
}

QPoint DesktopSession::ToolBarButton(int nIndex) const
{
    // Buttons of 16 x 15 pictures, 25 pixels apart after the toolbar's handle, in the row just
    // above the view.
    return QPoint(m_rcView.left() + 25 + 25 * nIndex, m_rcView.top() - 15);
}

QPoint DesktopSession::DialogItem(const QString &win, const DialogTemplate &templ, int nID) const
{
    return DialogItemRect(win, templ, nID).center();
}

QRect DesktopSession::DialogItemRect(const QString &win, const DialogTemplate &templ, int nID) const
{
    // The dialog's client area is its template in dialog units, so the scale is its size's.
    const QRect rc = WindowGeometry(win);
    for (const DialogControl &c : templ.controls) {
        if (c.nID != nID)
            continue;
        const double sx = double(rc.width()) / templ.cx;
        const double sy = double(rc.height()) / templ.cy;
        const QPoint topLeft(int(std::lround(c.x * sx)), int(std::lround(c.y * sy)));
        const QPoint bottomRight(int(std::lround((c.x + c.cx) * sx)),
                                 int(std::lround((c.y + c.cy) * sy)));
        return QRect(rc.topLeft() + topLeft, rc.topLeft() + bottomRight - QPoint(1, 1));
    }
    ADD_FAILURE() << "no control " << nID;
    return {};
}

bool DesktopSession::WritePicture(const QString &path, QRgb colour)
{
    QImage image(64, 64, QImage::Format_Indexed8);
    image.setColorTable({colour});
    image.fill(0);
    return image.save(path, "BMP");
}

bool DesktopSession::WaitFor(const std::function<bool()> &pred, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!pred()) {
        if (deadline.hasExpired())
            return false;
        Poll();
    }
    return true;
}

QString DesktopSession::WorkDir() const
{
    return QDir(m_dir.path()).filePath(QStringLiteral("work"));
}

QString DesktopSession::File(const QString &name) const
{
    return QDir(WorkDir()).filePath(name);
}

QByteArray DesktopSession::TempBmp() const
{
    // Read while the program rewrites it, the file is short of the size its header gives.
    const QByteArray bmp = ReadAll(File(QStringLiteral("temp.bmp")));
    if (bmp.size() < 6)
        return {};
    const auto *p = reinterpret_cast<const uchar *>(bmp.constData());
    const qint64 nSize = qint64(p[2]) | qint64(p[3]) << 8 | qint64(p[4]) << 16 | qint64(p[5]) << 24;
    return nSize == bmp.size() ? bmp : QByteArray();
}

bool DesktopSession::WaitTempBmpChange(const QByteArray &before)
{
    return WaitFor([&] {
        const QByteArray now = TempBmp();
        return !now.isEmpty() && now != before;
    });
}

QImage DesktopSession::Grab() const
{
    const QByteArray png
        = Tool(QStringLiteral(VELORINE_IMPORT),
               {QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("png:-")});
    QImage image;
    image.loadFromData(png, "PNG");
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage DesktopSession::ClipboardPng() const
{
    int nExit = -1;
    const QByteArray png
        = Tool(QStringLiteral(VELORINE_XCLIP),
               {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-t"),
                QStringLiteral("image/png"), QStringLiteral("-o")},
               &nExit);
    QImage image;
    if (nExit == 0)
        image.loadFromData(png, "PNG");
    return image.isNull() ? image : image.convertToFormat(QImage::Format_RGB32);
}

QImage DesktopSession::SelectAllAndCopy()
{
    Key(QStringLiteral("ctrl+a"));
    QImage copied;
    if (!OpenMenu(QStringLiteral("alt+e")))
        return copied;
    Key(QStringLiteral("c"));
    WaitFor([&] {
        copied = ClipboardPng();
        return !copied.isNull();
    });
    return copied;
}

QStringList DesktopSession::WindowIds(qint64 pid) const
{
    if (pid == 0 && m_pProgram)
        pid = m_pProgram->processId();
    if (pid == 0)
        return {};
    const QByteArray out
        = Tool(QStringLiteral(VELORINE_XDOTOOL),
               {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                QString::number(pid), QStringLiteral("")});
    return QString::fromLatin1(out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString DesktopSession::WindowName(const QString &id) const
{
    return QString::fromUtf8(
               Tool(QStringLiteral(VELORINE_XDOTOOL), {QStringLiteral("getwindowname"), id}))
        .trimmed();
}

QRect DesktopSession::WindowGeometry(const QString &id) const
{
    const QString out = QString::fromLatin1(
        Tool(QStringLiteral(VELORINE_XDOTOOL),
             {QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), id}));
    int x = 0, y = 0, w = 0, h = 0;
    for (const QString &line : out.split(QLatin1Char('\n'))) {
        const QString value = line.section(QLatin1Char('='), 1);
        if (line.startsWith(QLatin1String("X=")))
            x = value.toInt();
        else if (line.startsWith(QLatin1String("Y=")))
            y = value.toInt();
        else if (line.startsWith(QLatin1String("WIDTH=")))
            w = value.toInt();
        else if (line.startsWith(QLatin1String("HEIGHT=")))
            h = value.toInt();
    }
    return QRect(x, y, w, h);
}

QString DesktopSession::WaitWindow(const QString &text, int timeoutMs, qint64 pid)
{
    QString found;
    WaitFor(
        [&] {
            for (const QString &id : WindowIds(pid)) {
                if (WindowName(id).contains(text)) {
                    found = id;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    // Keys typed before the new window has the keyboard would go to the one below it.
    if (!found.isEmpty() && !WaitFor([&] {
            Focus(found);
            return QString::fromLatin1(
                       Tool(QStringLiteral(VELORINE_XDOTOOL), {QStringLiteral("getwindowfocus")}))
                       .trimmed()
                == found;
        }))
        return {};
    return found;
}

bool DesktopSession::WaitWindowGone(const QString &id, int timeoutMs)
{
    if (!WaitFor([&] { return !WindowIds().contains(id); }, timeoutMs))
        return false;
    // With no window manager the keyboard falls back to the root when a dialog goes; a
    // manager would give it to the main window, so the session does.
    if (id != m_strMainWindow && WindowIds().contains(m_strMainWindow))
        Focus(m_strMainWindow);
    return true;
}

void DesktopSession::Focus(const QString &id) const
{
    Xdo({QStringLiteral("windowfocus"), QStringLiteral("--sync"), id});
}

bool DesktopSession::WaitMainTitle(const QString &text)
{
    return WaitFor([&] { return MainTitle().contains(text); });
}

QStringList DesktopSession::Opened() const
{
    return QString::fromUtf8(ReadAll(QDir(m_dir.path()).filePath(QStringLiteral("opened.txt"))))
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool DesktopSession::WaitOpenedCount(int n)
{
    return WaitFor([&] { return Opened().size() >= n; });
}

bool DesktopSession::Sync()
{
    const qsizetype n = Opened().size();
    Key(QStringLiteral("F1"));
    return WaitOpenedCount(int(n + 1));
}

QString DesktopSession::ProgramStderr() const
{
    return QString::fromUtf8(ReadAll(QDir(m_dir.path()).filePath(QStringLiteral("err.log"))));
}
