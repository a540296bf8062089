#pragma once

#include <QRect>

// Control geometry is designed in twips (1/1440 inch); this is the one place
// that turns it into pixels, at the screen's logical DPI.
namespace Twips {

double dpi();
int toPixels(double twips);
double fromPixels(int pixels);
QRect toPixels(double left, double top, double width, double height);

} // namespace Twips
