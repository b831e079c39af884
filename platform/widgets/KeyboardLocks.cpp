#include "platform/widgets/KeyboardLocks.h"

#include "res/resource.h"

#include <QGuiApplication>

#ifdef VELORINE_HAVE_X11
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#endif

std::optional<bool> QueryLockIndicator(int nIndicatorID)
{
#ifdef VELORINE_HAVE_X11
    const char *name = nullptr;
    switch (nIndicatorID) {
    case ID_INDICATOR_CAPS:
        name = "Caps Lock";
        break;
    case ID_INDICATOR_NUM:
        name = "Num Lock";
        break;
    case ID_INDICATOR_SCRL:
        name = "Scroll Lock";
        break;
    default:
        return std::nullopt;
    }
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display *display = x11 ? x11->display() : nullptr;
    if (!display)
        return std::nullopt;
    const Atom atom = XInternAtom(display, name, True);
    if (atom == None)
        return std::nullopt;
    Bool on = False;
    if (!XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr))
        return std::nullopt;
    return on != False;
#else
    (void)nIndicatorID;
    return std::nullopt;
#endif
}
