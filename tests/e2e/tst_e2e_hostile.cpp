#include "E2eSupport.h"
#include "MainWindows.h"
#include "ProcessTree.h"
#include "TempIni.h"

#include "browser/WebEngineBrowserView.h"
#include "browser/MainWindow.h"
#include "settings/Settings.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLineEdit>

namespace {

// How long the event loop takes to run a queued call: the window's answer time.
qint64 eventLoopDelayMs()
{
    QElapsedTimer t;
    t.start();
    bool ran = false;
    QTimer::singleShot(0, [&ran] { ran = true; });
    while (!ran && t.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return t.elapsed();
}

} // namespace

// Pages that try to break the browser, and long use.
class TestHostile : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_ini = std::make_unique<TempIni>("[Settings]\r\n[Favorites]\r\nNumber=0\r\n"); }
    void cleanup()
    {
        closeAllWindows();
        QTest::qWait(50);
        m_ini.reset();
    }

    void alertLoopInSilentModeKeepsTheWindowAnswering();
    void millionCharacterTitleLeavesAUsableCaption();
    void thirtyWindowsOpenedAndClosedLeaveNothingBehind();

private:
    MainWindow *openOn(const QString &path, const QString &caption)
    {
        MainWindow *w = openWindow();
        w->view()->navigate(m_server.url(path));
        [&] { QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), caption, 20000); }();
        return w;
    }

    LocalServer m_server;
    std::unique_ptr<TempIni> m_ini;
};

void TestHostile::alertLoopInSilentModeKeepsTheWindowAnswering()
{
    WriteIniValue(QStringLiteral("Settings"), QStringLiteral("SupressErrors"), QStringLiteral("True"));
    m_server.page(QStringLiteral("/loop.html"),
                  "<title>Loop</title><script>var n=0;setInterval(function(){for(var i=0;i<500;i++){alert(i);}"
                  "document.title='Looping '+(++n);},0);</script>");
    m_server.page(QStringLiteral("/calm.html"), "<title>Calm</title>");
    MainWindow *w = openWindow();
    w->view()->navigate(m_server.url(QStringLiteral("/loop.html")));
    QTRY_VERIFY_WITH_TIMEOUT(w->windowTitle().startsWith(QStringLiteral("Looping")), 20000);
    for (int i = 0; i < 5; ++i) {
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(eventLoopDelayMs() < 1000);
        QTest::qWait(200);
    }
    // The user can still leave the page.
    w->view()->navigate(m_server.url(QStringLiteral("/calm.html")));
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Calm - Kestrel"), 20000);
}

void TestHostile::millionCharacterTitleLeavesAUsableCaption()
{
    m_server.page(QStringLiteral("/long.html"),
                  "<title>x</title><script>document.title='K'+'e'.repeat(1000000)+'strel';</script>");
    MainWindow *w = openWindow();
    w->view()->navigate(m_server.url(QStringLiteral("/long.html")));
    QTRY_VERIFY_WITH_TIMEOUT(w->windowTitle().startsWith(QStringLiteral("Kee")), 20000);
    QVERIFY(w->windowTitle().size() < 1100);
    QVERIFY(w->windowTitle().endsWith(QStringLiteral(" - Kestrel")));
    QVERIFY(eventLoopDelayMs() < 1000);
    QTRY_VERIFY_WITH_TIMEOUT(X11::windowTitles().contains(w->windowTitle()), 10000);
}

void TestHostile::thirtyWindowsOpenedAndClosedLeaveNothingBehind()
{
    m_server.page(QStringLiteral("/churn.html"), "<title>Churn</title><p>page</p>");
    MainWindow *first = openOn(QStringLiteral("/churn.html"), QStringLiteral("Churn - Kestrel"));
    auto openAndClose = [first] {
        first->menuAction(QStringLiteral("mnuFileNewWindow"))->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(openMainWindows().size(), 2, 20000);
        MainWindow *w = otherMainWindow(first);
        QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Churn - Kestrel"), 20000);
        w->close();
        // The page is asked first and lets go a moment later.
        QTRY_COMPARE_WITH_TIMEOUT(openMainWindows().size(), 1, 10000);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    // One window first, so what is made once on first use counts in both figures.
    openAndClose();
    QTest::qWait(3000);
    const int widgetsBefore = QApplication::topLevelWidgets().size();
    const double before = treePssKb(QCoreApplication::applicationPid());

    for (int i = 0; i < 30; ++i) {
        openAndClose();
        QTest::qWait(50);
    }
    QTest::qWait(3000); // renderer processes of closed windows exit
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const double after = treePssKb(QCoreApplication::applicationPid());
    qInfo("process tree PSS: %.1f MB before, %.1f MB after 30 windows (%.1f%%)", before / 1024, after / 1024,
          100.0 * (after - before) / before);
    QVERIFY(QApplication::topLevelWidgets().size() <= widgetsBefore);
    int mainWindowObjects = 0;
    for (QWidget *t : QApplication::topLevelWidgets())
        mainWindowObjects += qobject_cast<MainWindow *>(t) != nullptr;
    QCOMPARE(mainWindowObjects, 1);
    QCOMPARE(openMainWindows(), QList<MainWindow *>{first});
    QVERIFY2(after <= before * 1.15, qPrintable(QStringLiteral("%1 kB -> %2 kB").arg(before).arg(after)));
}

int main(int argc, char **argv)
{
    return runWithRealEngine<TestHostile>(argc, argv);
}

#include "tst_e2e_hostile.moc"
