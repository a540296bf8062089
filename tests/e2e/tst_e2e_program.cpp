#include "E2eSupport.h"
#include "TempIni.h"

#include <QProcess>
#include <QtTest>

// The real program, started as a user starts it, on a settings file of its own.
class TestProgram : public QObject
{
    Q_OBJECT
private slots:
    void continuesOnTheLastPageAndEndsWithItsWindow();
};

void TestProgram::continuesOnTheLastPageAndEndsWithItsWindow()
{
    LocalServer server;
    server.page(QStringLiteral("/last.html"), "<title>Last Page</title><p>where I was</p>");
    TempIni ini("[Settings]\r\nDoStartup=False\r\nStartup=Continue\r\nLastURL="
                + server.url(QStringLiteral("/last.html")).toUtf8() + "\r\n[Favorites]\r\nNumber=0\r\n");

    QProcess kestrel;
    kestrel.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    kestrel.start(QString::fromLocal8Bit(qgetenv("KESTREL_BIN")), {});
    QVERIFY(kestrel.waitForStarted());

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

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_e2e_program.moc"
