#include "User.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <QtTest>

// X11 last: its macros clash with Qt names.
#include "X11Windows.h"
#include <X11/XKBlib.h>
#include <X11/keysym.h>
#include <X11/extensions/XTest.h>

namespace {

bool inStep = false;

// One connection for the whole run: input sent through it arrives in order.
// Windows come and go while they are looked at; a vanished one is no error.
Display *display()
{
    static Display *d = (XSetErrorHandler([](Display *, XErrorEvent *) { return 0; }), XOpenDisplay(nullptr));
    return d;
}

// Lets the program take the input in before anything is checked.
void settle(int ms)
{
    XSync(display(), False);
    if (!inStep)
        QTest::qWait(ms);
}

void press(KeySym sym, bool down)
{
    const KeyCode code = XKeysymToKeycode(display(), sym);
    if (code == 0)
        qWarning("no key for keysym %lx", sym);
    XTestFakeKeyEvent(display(), code, down, CurrentTime);
}

void combination(const QString &keys)
{
    static const QHash<QString, QString> aliases = {{QStringLiteral("ctrl"), QStringLiteral("Control_L")},
                                                    {QStringLiteral("alt"), QStringLiteral("Alt_L")},
                                                    {QStringLiteral("shift"), QStringLiteral("Shift_L")}};
    QList<KeySym> held;
    for (const QString &part : keys.split(QLatin1Char('+'))) {
        held.prepend(XStringToKeysym(aliases.value(part, part).toLatin1().constData()));
        press(held.first(), true);
    }
    for (KeySym sym : held)
        press(sym, false);
}

QPoint onScreen(const QWidget *w, QPoint at)
{
    const qreal ratio = w->window()->windowHandle() ? w->window()->windowHandle()->devicePixelRatio() : 1.0;
    return w->mapToGlobal(at == QPoint(-1, -1) ? w->rect().center() : at) * ratio;
}

void clickAt(QPoint p, int button, int times = 1)
{
    XTestFakeMotionEvent(display(), -1, p.x(), p.y(), CurrentTime);
    for (int i = 0; i < times; ++i) {
        XTestFakeButtonEvent(display(), button, True, CurrentTime);
        XTestFakeButtonEvent(display(), button, False, CurrentTime);
    }
    settle(100);
}

Window windowCalled(const QString &caption)
{
    for (Window w : x11ShownTopLevels(display())) {
        if (x11WindowTitle(display(), w) == caption)
            return w;
    }
    return None;
}

void raiseAndFocus(Window w)
{
    XRaiseWindow(display(), w);
    XSetInputFocus(display(), w, RevertToParent, CurrentTime);
    settle(150);
}

void sendClose(Window w)
{
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = w;
    ev.xclient.message_type = XInternAtom(display(), "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = long(XInternAtom(display(), "WM_DELETE_WINDOW", False));
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(display(), w, False, NoEventMask, &ev);
    settle(0);
}

} // namespace

namespace User {

void key(const QString &combinations)
{
    for (const QString &keys : combinations.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        combination(keys);
        // Keys that follow may depend on what these opened.
        settle(100);
    }
}

void hold(const QString &keysym, bool down)
{
    press(XStringToKeysym(keysym.toLatin1().constData()), down);
    settle(50);
}

void type(const QString &text)
{
    for (QChar c : text) {
        const KeySym sym = c.unicode(); // Latin-1 keysyms are their characters
        const KeyCode code = XKeysymToKeycode(display(), sym);
        const bool shifted = code && XkbKeycodeToKeysym(display(), code, 0, 0) != sym;
        if (shifted)
            press(XK_Shift_L, true);
        press(sym, true);
        press(sym, false);
        if (shifted)
            press(XK_Shift_L, false);
        settle(15);
    }
    settle(60);
}

void click(const QWidget *w, QPoint at, int button)
{
    clickAt(onScreen(w, at), button);
}

bool clickIf(const QWidget *w, QPoint at)
{
    if (w)
        click(w, at);
    return w;
}

void doubleClick(const QWidget *w, QPoint at)
{
    clickAt(onScreen(w, at), 1, 2);
}

bool focus(QWidget *window)
{
    raiseAndFocus(Window(window->winId()));
    return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }, 5000);
}

void clickWindow(const QString &caption, QPoint at, int button)
{
    Window child;
    int x = 0, y = 0;
    const Window w = windowCalled(caption);
    QVERIFY2(w != None, qPrintable(caption));
    XTranslateCoordinates(display(), w, DefaultRootWindow(display()), at.x(), at.y(), &x, &y, &child);
    clickAt(QPoint(x, y), button);
}

bool focusWindow(const QString &caption)
{
    const Window w = windowCalled(caption);
    if (w != None)
        raiseAndFocus(w);
    return w != None;
}

bool close(const QString &caption)
{
    const Window w = windowCalled(caption);
    if (w != None)
        sendClose(w);
    return w != None;
}

void close(QWidget *window)
{
    sendClose(Window(window->winId()));
}

bool waitFor(const std::function<bool()> &condition, int timeoutMs)
{
    if (condition())
        return true;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (condition())
            loop.quit();
    });
    poll.start(20);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return condition();
}

QStringList captions()
{
    QStringList out;
    for (Window w : x11ShownTopLevels(display())) {
        if (const QString t = x11WindowTitle(display(), w); !t.isEmpty())
            out << t;
    }
    return out;
}

bool waitForCaption(const QString &caption, int timeoutMs)
{
    return QTest::qWaitFor([&] { return captions().contains(caption); }, timeoutMs);
}


QImage look(const QWidget *w)
{
    // The root window's pixels: what is on the screen, not what the widget would paint.
    const QPoint topLeft = w->mapToGlobal(QPoint(0, 0));
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, topLeft.x(), topLeft.y(), w->width(), w->height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

int count(const QImage &image, const QColor &colour, int tolerance)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += qAbs(c.red() - colour.red()) <= tolerance && qAbs(c.green() - colour.green()) <= tolerance
                 && qAbs(c.blue() - colour.blue()) <= tolerance;
        }
    }
    return n;
}

} // namespace User

bool UserSteps::run(int msPerStep)
{
    int index = 0;
    QElapsedTimer sinceStep;
    sinceStep.start();
    QTimer tick;
    connect(&tick, &QTimer::timeout, this, [&] {
        if (inStep || index >= m_steps.size() || !failure.isEmpty())
            return;
        inStep = true;
        if (m_steps[index]()) {
            ++index;
            sinceStep.start();
        } else if (sinceStep.elapsed() > msPerStep) {
            failure = QStringLiteral("step %1 of %2 was not done in time").arg(index + 1).arg(m_steps.size());
            // Boxes that hold the wait beneath them go, so the failure is told.
            for (QWidget *w : QApplication::topLevelWidgets())
                w->close();
        }
        inStep = false;
    });
    tick.start(50);
    // Beneath a box's own loop this wait stands still; the ticks go on.
    const bool done = QTest::qWaitFor([&] { return index >= m_steps.size() || !failure.isEmpty(); },
                                      msPerStep * int(m_steps.size() + 1));
    if (!done && failure.isEmpty())
        failure = QStringLiteral("stopped at step %1").arg(index + 1);
    return failure.isEmpty();
}
