#include "E2eSupport.h"
#include "X11Windows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

struct Display_
{
    // Windows come and go while they are looked at; a vanished one is no error.
    Display *d = (XSetErrorHandler([](Display *, XErrorEvent *) { return 0; }), XOpenDisplay(nullptr));
    ~Display_()
    {
        if (d)
            XCloseDisplay(d);
    }
};

} // namespace

namespace X11 {

QStringList windowTitles()
{
    Display_ display;
    QStringList out;
    if (!display.d)
        return out;
    for (Window w : x11ShownTopLevels(display.d)) {
        const QString t = x11WindowTitle(display.d, w);
        if (!t.isEmpty())
            out << t;
    }
    return out;
}

bool requestClose(const QString &title)
{
    Display_ display;
    if (!display.d)
        return false;
    for (Window w : x11ShownTopLevels(display.d)) {
        if (x11WindowTitle(display.d, w) != title)
            continue;
        XEvent ev{};
        ev.xclient.type = ClientMessage;
        ev.xclient.window = w;
        ev.xclient.message_type = XInternAtom(display.d, "WM_PROTOCOLS", False);
        ev.xclient.format = 32;
        ev.xclient.data.l[0] = long(XInternAtom(display.d, "WM_DELETE_WINDOW", False));
        ev.xclient.data.l[1] = CurrentTime;
        XSendEvent(display.d, w, False, NoEventMask, &ev);
        XFlush(display.d);
        return true;
    }
    return false;
}

} // namespace X11
