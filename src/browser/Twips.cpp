#include "Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace Twips {

double dpi()
{
    static const double value = [] {
        const QScreen *screen = QGuiApplication::primaryScreen();
        const double d = screen ? screen->logicalDotsPerInch() : 96.0;
        return d > 0 ? d : 96.0;
    }();
    return value;
}

int toPixels(double twips)
{
    return int(std::lround(twips * dpi() / 1440.0));
}

double fromPixels(int pixels)
{
    return pixels * 1440.0 / dpi();
}

QRect toPixels(double left, double top, double width, double height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

} // namespace Twips
