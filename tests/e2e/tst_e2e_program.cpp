#include "E2eSupport.h"
#include "TempIni.h"
#include "UserInput.h"

#include <QProcess>
#include <QtTest>

namespace {
bool start(QProcess &kestrel)
{
    kestrel.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    kestrel.start(QString::fromLocal8Bit(qgetenv("KESTREL_BIN")), {});
    return kestrel.waitForStarted();
}
} // namespace

// The real program, started as a user starts it, on a settings file of its own.
class TestProgram : public QObject
{
    Q_OBJECT
private slots:
    void continuesOnTheLastPageAndEndsWithItsWindow();
    void startupDialogByKeyboard();
};

void TestProgram::continuesOnTheLastPageAndEndsWithItsWindow()
{
    LocalServer server;
    server.page(QStringLiteral("/last.html"), "<title>Last Page</title><p>where I was</p>");
    TempIni ini("[Settings]\r\nDoStartup=False\r\nStartup=Continue\r\nLastURL="
                + server.url(QStringLiteral("/last.html")).toUtf8() + "\r\n[Favorites]\r\nNumber=0\r\n");

    QProcess kestrel;
    QVERIFY(start(kestrel));

    const QString caption = QStringLiteral("Last Page - Kestrel");
    QTRY_VERIFY_WITH_TIMEOUT(server.hits(QStringLiteral("/last.html")) >= 1, 30000);
    QTRY_VERIFY_WITH_TIMEOUT(X11::windowTitles().contains(caption), 30000);
    // No start-up dialog was shown.
    QVERIFY(!X11::windowTitles().contains(QStringLiteral("Welcome to Kestrel")));

    QVERIFY(X11::requestClose(caption));
    QVERIFY(kestrel.waitForFinished(20000));
    QCOMPARE(kestrel.exitStatus(), QProcess::NormalExit);
    QCOMPARE(kestrel.exitCode(), 0);
    QVERIFY(ini.bytes().contains("Startup=Continue"));
}

void TestProgram::startupDialogByKeyboard()
{
    LocalServer server;
    server.page(QStringLiteral("/last.html"), "<title>Last Page</title>");
    TempIni ini("[Settings]\r\nDoStartup=True\r\nStartup=Blank\r\nLastURL="
                + server.url(QStringLiteral("/last.html")).toUtf8() + "\r\n[Favorites]\r\nNumber=0\r\n");
    QProcess kestrel;
    QVERIFY(start(kestrel));
    QVERIFY(User::waitForCaption(QStringLiteral("Welcome to Kestrel"), 30000));
    // With no window manager here to activate it, the user clicks into it
    // first; then its access keys choose and Enter starts.
    User::clickWindow(QStringLiteral("Welcome to Kestrel"), QPoint(10, 10));
    User::key(QStringLiteral("alt+c"));
    User::key(QStringLiteral("alt+d"));
    QTest::qWait(200); // an access key presses its button for a moment
    User::key(QStringLiteral("Return"));
    QVERIFY(User::waitForCaption(QStringLiteral("Last Page - Kestrel"), 30000));
    QCOMPARE(server.hits(QStringLiteral("/last.html")), 1);
    QVERIFY(ini.bytes().contains("Startup=Continue"));
    QVERIFY(ini.bytes().contains("DoStartup=False"));
    QVERIFY(X11::requestClose(QStringLiteral("Last Page - Kestrel")));
    QVERIFY(kestrel.waitForFinished(20000));
}

QTEST_MAIN(TestProgram)
#include "tst_e2e_program.moc"
