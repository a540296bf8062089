#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPoint>
#include <QString>
#include <QTimer>
#include <functional>

class QWidget;

// A user's hands: keys and clicks go in through the X server (XTEST), so
// they reach whatever window and widget the X server and Qt route them to.
// Single keys and clicks return at once without running the event loop, so
// they can be used while a page's box runs a loop of its own.
namespace UserInput {
// Gives the top-level window the keyboard focus, as a window manager does
// when the user clicks its frame, and waits until Qt has made it active.
bool focus(QWidget *window);
// Presses and releases key combinations in turn, named as X names keys:
// "alt+f", "Return", "F5", "ctrl+n"; several are separated by spaces.
void keys(const QString &combinations);
// Types plain lower-case text and digits.
void type(const QString &text);
// The window manager's answer to a click on the window's close box.
void clickCloseBox(QWidget *window);
// Left click at a point of a widget, in its coordinates; its middle by default.
void click(QWidget *widget, QPoint at = QPoint(-1, -1));
}

// Test steps taken from the event loop: while a page's box is up, the
// program waits in a loop of its own, and a test's own wait sits beneath it
// until the box closes. Each step returns true once it is done; it must not
// wait itself.
class UserSteps : public QObject
{
public:
    UserSteps &then(std::function<bool()> step)
    {
        m_steps.append(std::move(step));
        return *this;
    }
    // Runs the steps in turn; false when one is not done within its time.
    bool run(int msPerStep = 15000);
    QString failure;

private:
    QList<std::function<bool()>> m_steps;
};
