#include "PopUpGate.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace {
// As long as the engine itself counts a click as fresh: a page may first
// ask its server and then open the window the user clicked for.
constexpr qint64 kActionLifetimeMs = 5000;
// A link may open a window and its page one more; a storm needs many.
constexpr int kWindowsPerAction = 2;
} // namespace

PopUpGate::PopUpGate(QWidget *pageArea)
    : QObject(pageArea), m_area(pageArea)
{
    // The engine hands input to widgets it makes and replaces on its own, so
    // the input is watched where it enters the program.
    qApp->installEventFilter(this);
}

bool PopUpGate::allowWindow()
{
    if (!m_sinceAction.isValid() || m_sinceAction.elapsed() > kActionLifetimeMs
        || m_openedForAction >= kWindowsPerAction)
        return false;
    ++m_openedForAction;
    return true;
}

bool PopUpGate::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    // Only input that came from the window system is the user's; events a
    // program posts to itself are not.
    if ((type == QEvent::MouseButtonPress || type == QEvent::KeyPress) && event->spontaneous() && m_area) {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && (widget == m_area || m_area->isAncestorOf(widget))) {
            m_sinceAction.start();
            m_openedForAction = 0;
        }
    }
    return false;
}
