#pragma once

#include "app/MainWindowSteps.h"
#include "browser/frmMain.h"

#include <QApplication>
#include <QtTest>

// A new main window after its load step, shown.
inline frmMain *openWindow()
{
    frmMain *w = CreateMainWindow();
    w->show();
    return w;
}

// The main windows now shown.
inline QList<frmMain *> openMainWindows()
{
    QList<frmMain *> out;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *m = qobject_cast<frmMain *>(w); m && m->isVisible())
            out << m;
    }
    return out;
}

// The shown main window other than `w`, if any.
inline frmMain *otherMainWindow(frmMain *w)
{
    for (frmMain *m : openMainWindows()) {
        if (m != w)
            return m;
    }
    return nullptr;
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
