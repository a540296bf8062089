#pragma once

#include <QRect>
#include <QString>

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

} // namespace Twips
