#pragma once

#include <QPoint>
#include <QString>

class QWidget;

// A user's hands: keys and clicks go in through the X server (XTEST), so
// they reach whatever window and widget the X server and Qt route them to.
namespace UserInput {
// Gives the top-level window the keyboard focus, as a window manager does
// when the user clicks its frame, and waits until Qt has made it active.
bool focus(QWidget *window);
// Presses and releases key combinations in turn, named as X names keys:
// "alt+f", "Return", "F5", "ctrl+n"; several are separated by spaces.
void keys(const QString &combinations);
// Types plain lower-case text and digits.
void type(const QString &text);
// Left click at a point of a widget, in its coordinates; its middle by default.
void click(QWidget *widget, QPoint at = QPoint(-1, -1));
}
