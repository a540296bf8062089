#include "UserInput.h"

#include "E2eSupport.h"

#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <QtTest>

namespace {

// Runs xdotool while this program keeps answering its own events, as the
// program a user types into does.
void xdotool(const QStringList &args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start(QStringLiteral("xdotool"), args);
    if (!p.waitForStarted(5000))
        qFatal("xdotool is not installed");
    QTest::qWaitFor([&p] { return p.state() == QProcess::NotRunning; }, 20000);
    // Let the X server's events reach the widgets before anything is checked.
    QTest::qWait(60);
}

QPoint onScreen(const QWidget *w, QPoint at)
{
    if (at == QPoint(-1, -1))
        at = w->rect().center();
    const qreal ratio = w->window()->windowHandle() ? w->window()->windowHandle()->devicePixelRatio() : 1.0;
    return w->mapToGlobal(at) * ratio;
}

} // namespace

namespace User {

void key(const QString &keys)
{
    QStringList args{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("40")};
    args += keys.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    xdotool(args);
}

void type(const QString &text)
{
    xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("25"), text});
}

void click(const QWidget *w, QPoint at, int button)
{
    const QPoint p = onScreen(w, at);
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(p.x()), QString::number(p.y()),
             QStringLiteral("click"), QString::number(button)});
}

void clickWindow(const QString &caption, QPoint at)
{
    xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
             QLatin1Char('^') + QRegularExpression::escape(caption) + QLatin1Char('$'), QStringLiteral("mousemove"),
             QStringLiteral("--window"), QStringLiteral("%1"), QString::number(at.x()), QString::number(at.y()),
             QStringLiteral("click"), QStringLiteral("1")});
}

void doubleClick(const QWidget *w, QPoint at)
{
    const QPoint p = onScreen(w, at);
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(p.x()), QString::number(p.y()),
             QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"), QStringLiteral("1")});
}

QImage look(const QWidget *w)
{
    const QPoint topLeft = onScreen(w, QPoint(0, 0));
    const qreal ratio = w->window()->windowHandle() ? w->window()->windowHandle()->devicePixelRatio() : 1.0;
    const QSize size = w->size() * ratio;
    // The root window's pixels: what is on the screen, not what the widget would paint.
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, int(topLeft.x() / ratio), int(topLeft.y() / ratio), int(size.width() / ratio),
                     int(size.height() / ratio))
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

int count(const QImage &image, const QColor &colour, int tolerance)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (qAbs(c.red() - colour.red()) <= tolerance && qAbs(c.green() - colour.green()) <= tolerance
                && qAbs(c.blue() - colour.blue()) <= tolerance)
                ++n;
        }
    }
    return n;
}

QStringList captions()
{
    return X11::windowTitles();
}

bool waitForCaption(const QString &caption, int timeoutMs)
{
    return QTest::qWaitFor([&] { return captions().contains(caption); }, timeoutMs);
}

bool captionGone(const QString &caption, int timeoutMs)
{
    return QTest::qWaitFor([&] { return !captions().contains(caption); }, timeoutMs);
}

} // namespace User
