#pragma once

#include "window/BrowserHost.h"
#include "window/MainWindow.h"

#include <QApplication>
#include <QtTest>

// The host the test's windows live in, set as the test starts.
inline BrowserHost *&testHost()
{
    static BrowserHost *host = nullptr;
    return host;
}

// A new main window at the page the settings name, shown.
inline MainWindow *openWindow()
{
    MainWindow *w = testHost()->openWindow();
    w->show();
    return w;
}

// A window's control, found by its name as a user's tools would find it.
template <typename T = QWidget>
T *control(const QWidget *window, const char *name)
{
    T *c = window->findChild<T *>(QString::fromLatin1(name));
    if (!c)
        qWarning("no control named %s", name);
    return c;
}

// The shown top-level window of that name, or of its type when no name is
// given (and, when given, of that owner).
template <typename T>
T *shown(const QString &name, QWidget *owner = nullptr)
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *t = qobject_cast<T *>(w); t && t->isVisible() && (name.isEmpty() || t->objectName() == name)
                                            && (!owner || t->parentWidget() == owner))
            return t;
    }
    return nullptr;
}

// The main windows now shown.
inline QList<MainWindow *> openMainWindows()
{
    QList<MainWindow *> out;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *m = qobject_cast<MainWindow *>(w); m && m->isVisible())
            out << m;
    }
    return out;
}

// The shown main window other than `w`, if any.
inline MainWindow *otherMainWindow(MainWindow *w)
{
    QList<MainWindow *> others = openMainWindows();
    others.removeAll(w);
    return others.value(0);
}

inline void closeAllWindows()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        w->close();
    // A page is asked before its window goes, and answers a moment later.
    if (!QTest::qWaitFor([] { return openMainWindows().isEmpty(); }, 10000))
        qWarning("a main window stayed open");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}
