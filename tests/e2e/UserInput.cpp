#include "UserInput.h"

#include <QApplication>
#include <QStringList>
#include <QtTest>

#include <X11/Xlib.h>
#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>

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
    // Let Qt take the keys in before the next ones change what has the focus.
    QTest::qWait(60);
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
    for (const QString &c : combinations.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        pressCombination(c);
}

void type(const QString &text)
{
    for (QChar c : text)
        pressCombination(QString(c));
}

void click(QWidget *widget, QPoint at)
{
    Display *d = display();
    const QPoint p = widget->mapToGlobal(at == QPoint(-1, -1) ? widget->rect().center() : at);
    XTestFakeMotionEvent(d, -1, p.x(), p.y(), CurrentTime);
    XSync(d, False);
    QTest::qWait(50);
    XTestFakeButtonEvent(d, Button1, True, CurrentTime);
    XTestFakeButtonEvent(d, Button1, False, CurrentTime);
    XSync(d, False);
    QTest::qWait(60);
}

} // namespace UserInput
