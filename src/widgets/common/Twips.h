#pragma once

#include <QRect>
#include <QString>

class QWidget;

// Control geometry is designed in twips (1/1440 inch); this is the one place
// that turns it into pixels, at the screen's logical DPI.
namespace Twips {

double dpi();
int toPixels(double twips);
double fromPixels(int pixels);
QRect toPixels(double left, double top, double width, double height);

// Names a control and puts it at its designed place, given in twips.
template <typename W>
W *place(W *w, const char *name, double left, double top, double width, double height)
{
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(toPixels(left, top, width, height));
    return w;
}

// Grows every captioned control of `window` (buttons, labels, text boxes)
// that is smaller than its text needs at the current font, keeping its
// designed top-left corner; a control pushed into by a grown neighbour on its
// row moves right; a fixed-size window grows to hold its controls.
void fitToCaptions(QWidget *window);

} // namespace Twips
