#include "E2eSupport.h"

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

QString titleOf(Display *d, Window w)
{
    Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    Atom netName = XInternAtom(d, "_NET_WM_NAME", False);
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char *data = nullptr;
    QString title;
    if (XGetWindowProperty(d, w, netName, 0, 4096, False, utf8, &type, &format, &count, &after, &data) == Success && data) {
        title = QString::fromUtf8(reinterpret_cast<char *>(data), int(count));
        XFree(data);
    }
    return title;
}

template <typename Fn>
void forEachTopLevel(Display *d, Fn fn)
{
    Window root, parent, *children = nullptr;
    unsigned int n = 0;
    if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &n))
        return;
    for (unsigned int i = 0; i < n; ++i) {
        XWindowAttributes attrs;
        if (XGetWindowAttributes(d, children[i], &attrs) && attrs.map_state == IsViewable)
            fn(children[i]);
    }
    if (children)
        XFree(children);
}

} // namespace

namespace X11 {

QStringList windowTitles()
{
    Display_ display;
    QStringList out;
    if (!display.d)
        return out;
    forEachTopLevel(display.d, [&](Window w) {
        const QString t = titleOf(display.d, w);
        if (!t.isEmpty())
            out << t;
    });
    return out;
}

bool requestClose(const QString &title)
{
    Display_ display;
    if (!display.d)
        return false;
    bool sent = false;
    forEachTopLevel(display.d, [&](Window w) {
        if (sent || titleOf(display.d, w) != title)
            return;
        XEvent ev{};
        ev.xclient.type = ClientMessage;
        ev.xclient.window = w;
        ev.xclient.message_type = XInternAtom(display.d, "WM_PROTOCOLS", False);
        ev.xclient.format = 32;
        ev.xclient.data.l[0] = long(XInternAtom(display.d, "WM_DELETE_WINDOW", False));
        ev.xclient.data.l[1] = CurrentTime;
        XSendEvent(display.d, w, False, NoEventMask, &ev);
        XFlush(display.d);
        sent = true;
    });
    return sent;
}

} // namespace X11
