#include "E2eSupport.h"
#include "MainWindows.h"
#include "TempIni.h"
#include "UserInput.h"

#include "browser/StatusPanels.h"

#include <QPushButton>

// What the status bar says when a load does not end well.
class TestStatus : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { closeAllWindows(); }
    void failedLoadSaysWhy();
    void stoppedLoadSaysStopped();
};

void TestStatus::failedLoadSaysWhy()
{
    TempIni ini("[Settings]\r\n");
    QTcpServer closed; // a port known to be free, then closed again
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const quint16 port = closed.serverPort();
    closed.close();
    MainWindow *w = openWindow();
    w->view()->navigate(QStringLiteral("http://127.0.0.1:%1/").arg(port));
    QTRY_COMPARE_WITH_TIMEOUT(control<StatusPanels>(w, "StatusBar")->panelText(1), QStringLiteral("Could not open the page: connection refused"),
                              20000);
}

void TestStatus::stoppedLoadSaysStopped()
{
    TempIni ini("[Settings]\r\n");
    QTcpServer silent; // takes the request and never answers
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    MainWindow *w = openWindow();
    w->view()->navigate(QStringLiteral("http://127.0.0.1:%1/slow.html").arg(silent.serverPort()));
    QTRY_VERIFY_WITH_TIMEOUT(silent.hasPendingConnections(), 20000);
    QTRY_VERIFY(control<StatusPanels>(w, "StatusBar")->panelText(1).startsWith(QStringLiteral("Opening page")));
    QVERIFY(QTest::qWaitForWindowExposed(w));
    User::click(w->findChild<QPushButton *>(QStringLiteral("cmdStop")));
    QTRY_COMPARE_WITH_TIMEOUT(control<StatusPanels>(w, "StatusBar")->panelText(1), QStringLiteral("Stopped"), 20000);
    QTest::qWait(500); // nothing later claims the load was done
    QCOMPARE(control<StatusPanels>(w, "StatusBar")->panelText(1), QStringLiteral("Stopped"));
}

int main(int argc, char **argv)
{
    return runWithRealEngine<TestStatus>(argc, argv);
}

#include "tst_e2e_status.moc"
