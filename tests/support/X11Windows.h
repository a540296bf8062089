#pragma once

#include <QString>
#include <vector>

#include <X11/Xlib.h>

// The window's title as a window manager shows it.
inline QString x11WindowTitle(Display *d, Window w)
{
    Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    Atom netName = XInternAtom(d, "_NET_WM_NAME", False);
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char *data = nullptr;
    QString title;
    if (XGetWindowProperty(d, w, netName, 0, 4096, False, utf8, &type, &format, &count, &after, &data) == Success
        && data) {
        title = QString::fromUtf8(reinterpret_cast<char *>(data), int(count));
        XFree(data);
    }
    return title;
}

// The mapped top-level windows of the display, bottom to top.
inline std::vector<Window> x11ShownTopLevels(Display *d)
{
    std::vector<Window> out;
    Window root, parent, *children = nullptr;
    unsigned int n = 0;
    if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &n))
        return out;
    for (unsigned int i = 0; i < n; ++i) {
        XWindowAttributes attrs;
        if (XGetWindowAttributes(d, children[i], &attrs) && attrs.map_state == IsViewable)
            out.push_back(children[i]);
    }
    if (children)
        XFree(children);
    return out;
}
