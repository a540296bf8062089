#include "EngineTest.h"

#include "window/StatusPanels.h"

#include <QFileDialog>
#include <QStandardPaths>
#include <QWindow>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

// The page in its window: carried over to a new window, saved to a file, and
// what the status bar says when a load does not end well.
class TestBrowser : public EngineTest
{
    Q_OBJECT
private slots:
    void newWindowShowsTheCurrentAddress();
    void saveWritesThePage();
    void failedLoadSaysWhy();
    void stoppedLoadSaysStopped();
};

void TestBrowser::newWindowShowsTheCurrentAddress()
{
    server.page(QStringLiteral("/home.html"), "<title>Home</title>");
    server.page(QStringLiteral("/current.html"), "<title>Current</title>");
    ini->write("[Settings]\r\nStartup=Home\r\nHome=" + server.url(QStringLiteral("/home.html")).toUtf8() + "\r\n");
    MainWindow *w = openOn(QStringLiteral("/current.html"), QStringLiteral("Current - Kestrel"));
    QTRY_VERIFY(!control<QProgressBar>(w, "ProgressBar")->isVisible()); // the load shows as done
    const int homeHits = server.hits(QStringLiteral("/home.html"));
    User::key(QStringLiteral("ctrl+n"));
    QTRY_COMPARE(openMainWindows().size(), 2);
    QTRY_COMPARE_WITH_TIMEOUT(otherMainWindow(w)->windowTitle(), QStringLiteral("Current - Kestrel"), 20000);
    QTest::qWait(500);
    QCOMPARE(server.hits(QStringLiteral("/home.html")), homeHits);
}

void TestBrowser::saveWritesThePage()
{
    server.page(QStringLiteral("/save.html"), "<title>Save Me</title><p>words worth keeping</p>");
    MainWindow *w = openOn(QStringLiteral("/save.html"), QStringLiteral("Save Me - Kestrel"));
    // The dialog offers the Downloads folder a desktop has; the user types a new name.
    const QString target = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation) + QStringLiteral("/saved.html");
    QVERIFY(QDir().mkpath(QFileInfo(target).path()));
    // The file dialog waits in a loop of its own: the user's steps come from the event loop.
    auto dialog = [] { return User::captions().contains(QStringLiteral("Save As")) ? shown<QFileDialog>({}) : nullptr; };
    UserSteps steps;
    steps.then([] { return User::key(QStringLiteral("ctrl+s")), true; })
        .then([&] {
            QFileDialog *d = dialog();
            if (!d || !d->windowHandle()->isExposed())
                return false;
            User::click(d->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")));
            User::key(QStringLiteral("ctrl+a"));
            User::type(QStringLiteral("saved.html"));
            return true;
        })
        // Enter, again if the first only closed the list of completions.
        .then([&] { return dialog() ? (User::key(QStringLiteral("Return")), false) : true; });
    QVERIFY2(steps.run(), qPrintable(steps.failure));
    auto saved = [&target] { QFile f(target); return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray(); };
    QTRY_VERIFY_WITH_TIMEOUT(saved().contains("words worth keeping"), 20000);
    QTRY_COMPARE_WITH_TIMEOUT(control<StatusPanels>(w, "StatusBar")->panelText(1),
                              QStringLiteral("Download complete: ") + target, 20000);
}

void TestBrowser::failedLoadSaysWhy()
{
    QTcpServer closed; // a port known to be free, then closed again
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const quint16 port = closed.serverPort();
    closed.close();
    MainWindow *w = openWindow();
    w->view()->navigate(QStringLiteral("http://127.0.0.1:%1/").arg(port));
    QTRY_COMPARE_WITH_TIMEOUT(control<StatusPanels>(w, "StatusBar")->panelText(1),
                              QStringLiteral("Could not open the page: connection refused"), 20000);
}

void TestBrowser::stoppedLoadSaysStopped()
{
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
    return runWithRealEngine<TestBrowser>(argc, argv);
}

#include "tst_e2e_browser.moc"
