#include "UserInput.h"

#include "E2eSupport.h"

#include <QApplication>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <QtTest>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

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

namespace {
QString exactly(const QString &caption)
{
    return QLatin1Char('^') + QRegularExpression::escape(caption) + QLatin1Char('$');
}
} // namespace

void clickWindow(const QString &caption, QPoint at, int button)
{
    xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), exactly(caption),
             QStringLiteral("mousemove"), QStringLiteral("--window"), QStringLiteral("%1"), QString::number(at.x()),
             QString::number(at.y()), QStringLiteral("click"), QString::number(button)});
}

void focusWindow(const QString &caption)
{
    xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), exactly(caption),
             QStringLiteral("windowfocus"), QStringLiteral("--sync"), QStringLiteral("%1")});
    QTest::qWait(150);
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

namespace {

// One connection for the whole run: events sent through it arrive in order.
Display *display()
{
    static Display *d = XOpenDisplay(nullptr);
    return d;
}

KeySym symbolFor(const QString &name)
{
    static const QHash<QString, QString> aliases = {
        {QStringLiteral("ctrl"), QStringLiteral("Control_L")},
        {QStringLiteral("alt"), QStringLiteral("Alt_L")},
        {QStringLiteral("shift"), QStringLiteral("Shift_L")},
        {QStringLiteral(" "), QStringLiteral("space")},
        {QStringLiteral("."), QStringLiteral("period")},
    };
    return XStringToKeysym(aliases.value(name, name).toLatin1().constData());
}

void pressCombination(const QString &combination)
{
    Display *d = display();
    QList<KeyCode> held;
    for (const QString &part : combination.split(QLatin1Char('+'))) {
        const KeyCode code = XKeysymToKeycode(d, symbolFor(part));
        QVERIFY2(code != 0, qPrintable(combination));
        XTestFakeKeyEvent(d, code, True, CurrentTime);
        held.prepend(code);
    }
    for (KeyCode code : held)
        XTestFakeKeyEvent(d, code, False, CurrentTime);
    XSync(d, False);
}

} // namespace

namespace UserInput {

bool focus(QWidget *window)
{
    Display *d = display();
    if (!d)
        return false;
    XRaiseWindow(d, Window(window->winId()));
    XSetInputFocus(d, Window(window->winId()), RevertToParent, CurrentTime);
    XSync(d, False);
    return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }, 5000);
}

void keys(const QString &combinations)
{
    const QStringList list = combinations.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (int i = 0; i < list.size(); ++i) {
        // Let Qt take keys in before the next ones depend on what they opened.
        if (i > 0)
            QTest::qWait(100);
        pressCombination(list[i]);
    }
}

void type(const QString &text)
{
    for (QChar c : text)
        pressCombination(QString(c));
}

void clickCloseBox(QWidget *window)
{
    Display *d = display();
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = Window(window->winId());
    ev.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = long(XInternAtom(d, "WM_DELETE_WINDOW", False));
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, ev.xclient.window, False, NoEventMask, &ev);
    XSync(d, False);
}

void click(QWidget *widget, QPoint at)
{
    Display *d = display();
    const QPoint p = widget->mapToGlobal(at == QPoint(-1, -1) ? widget->rect().center() : at);
    XTestFakeMotionEvent(d, -1, p.x(), p.y(), CurrentTime);
    XTestFakeButtonEvent(d, Button1, True, CurrentTime);
    XTestFakeButtonEvent(d, Button1, False, CurrentTime);
    XSync(d, False);
}

} // namespace UserInput

bool UserSteps::run(int msPerStep)
{
    int index = 0;
    bool busy = false;
    QElapsedTimer sinceStep;
    sinceStep.start();
    QTimer tick;
    connect(&tick, &QTimer::timeout, this, [&] {
        if (busy || index >= m_steps.size() || !failure.isEmpty())
            return;
        busy = true;
        if (m_steps[index]()) {
            ++index;
            sinceStep.start();
        } else if (sinceStep.elapsed() > msPerStep) {
            failure = QStringLiteral("step %1 of %2 was not done in time").arg(index + 1).arg(m_steps.size());
            // Boxes that hold the wait beneath them go, so the failure is told.
            for (QWidget *w : QApplication::topLevelWidgets())
                w->close();
        }
        busy = false;
    });
    tick.start(50);
    // Beneath a box's own loop this wait stands still; the ticks go on.
    const bool done = QTest::qWaitFor([&] { return index >= m_steps.size() || !failure.isEmpty(); },
                                      msPerStep * int(m_steps.size() + 1));
    if (!done && failure.isEmpty())
        failure = QStringLiteral("stopped at step %1").arg(index + 1);
    return failure.isEmpty();
}
