#pragma once

#include <QColor>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

class QWidget;

// A user's hands and eyes on the program: every key and click goes through
// the X server (XTEST, by xdotool), so it reaches whatever widget Qt has put
// the focus on, exactly as a keyboard's would. What is checked is what the
// X server shows: window captions and screen pixels.
namespace User {

// Presses and releases keys, xdotool style: "Return", "ctrl+l", "alt+v b".
void key(const QString &keys);
// Types text one key at a time.
void type(const QString &text);
// Clicks at a point of a widget (its middle by default) where it is drawn on screen.
void click(const QWidget *w, QPoint at = QPoint(-1, -1), int button = 1);
// Clicks at a point of the shown window with this caption, from its top-left corner.
void clickWindow(const QString &caption, QPoint at, int button = 1);
// Gives the window with this caption the keyboard, as a window manager does on a click.
void focusWindow(const QString &caption);
void doubleClick(const QWidget *w, QPoint at = QPoint(-1, -1));
// The screen's pixels inside a widget's area.
QImage look(const QWidget *w);
// Pixels of `image` within `tolerance` of `colour` in every channel.
int count(const QImage &image, const QColor &colour, int tolerance = 24);

// Captions of the shown top-level windows, as a window manager reads them.
QStringList captions();
bool waitForCaption(const QString &caption, int timeoutMs = 20000);
bool captionGone(const QString &caption, int timeoutMs = 20000);

} // namespace User

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
