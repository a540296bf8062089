#pragma once

#include <QColor>
#include <QImage>
#include <QObject>
#include <QPoint>
#include <QStringList>
#include <functional>

class QWidget;

// A user's hands and eyes on the program. Every key and click goes in through
// the X server (XTEST), so it reaches whatever window and widget the X server
// and Qt route it to, exactly as a keyboard's would; what is checked is what
// the X server shows: window captions and screen pixels.
//
// Outside UserSteps each call lets the program take its input in before it
// returns. Inside a step it returns at once: a box the input opens runs a loop
// of its own, and a wait would sit beneath it until the box closes.
namespace User {

// Presses and releases key combinations in turn, named as X names keys:
// "alt+f", "Return", "ctrl+l", "alt+v b".
void key(const QString &combinations);
// Holds a key down (true) or lets it go, named as X names it ("Control_L"):
// for a click or a wheel turn with the key held.
void hold(const QString &keysym, bool down);
// Types text one key at a time, shifted where the keyboard needs it.
void type(const QString &text);
// Clicks at a point of a widget (its middle by default) where it is on screen.
void click(const QWidget *w, QPoint at = QPoint(-1, -1), int button = 1);
void doubleClick(const QWidget *w, QPoint at = QPoint(-1, -1));
// Clicks the widget if there is one, and says whether it did: a step's "done".
bool clickIf(const QWidget *w, QPoint at = QPoint(-1, -1));
// Gives the window the keyboard, as a window manager does on a click on its frame.
bool focus(QWidget *window);

// The same for a window of another program, found by its caption.
void clickWindow(const QString &caption, QPoint at, int button = 1);
bool focusWindow(const QString &caption);
// A click on the window's close box, as the window manager passes it on.
bool close(const QString &caption);
void close(QWidget *window);

// Waits in an event loop of its own until `condition` holds. The engine's
// work runs as it does in the program; a wait that processes events between
// sleeps (QTest::qWaitFor) leaves it ten or more times slower.
bool waitFor(const std::function<bool()> &condition, int timeoutMs = 20000);

// Captions of the shown top-level windows, as a window manager reads them.
QStringList captions();
bool waitForCaption(const QString &caption, int timeoutMs = 20000);
// The screen's pixels inside a widget's area, and how many are near `colour`.
QImage look(const QWidget *w);
int count(const QImage &image, const QColor &colour, int tolerance = 24);

} // namespace User

// Test steps taken from the event loop, for while a page's box is up and the
// program waits in a loop of its own. Each step returns true once it is done.
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
