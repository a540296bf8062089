#pragma once

#include <QColor>
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
void clickWindow(const QString &caption, QPoint at);
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
