// The one request no command-line tool here sends: a window manager's close for the close box.
// Apart from the rest of the session so that Xlib's macros meet no Qt header.

#include "tests/desktop/DesktopSession.h"

#include <X11/Xlib.h>

bool DesktopSession::CloseBox(const QString &id) const
{
    bool bOk = false;
    const Window window = id.toULong(&bOk);
    Display *display = bOk ? XOpenDisplay(m_strDisplay.toLatin1().constData()) : nullptr;
    if (!display)
        return false;
    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const bool bSent = XSendEvent(display, window, False, NoEventMask, &event) != 0;
    XSync(display, False);
    XCloseDisplay(display);
    return bSent;
}
