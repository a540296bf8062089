#include "E2eSupport.h"
#include "TempIni.h"

#include "app/MainWindowSteps.h"
#include "browser/AddressBox.h"
#include "browser/StatusPanels.h"
#include "browser/WebEngineBrowserView.h"
#include "browser/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>

// The window at several sizes and visibilities, on a real page: nothing
// overlaps the status bar, nothing that should show is cut off. Each state is
// saved as a picture under the build folder for a person to look at.
class TestLayout : public QObject
{
    Q_OBJECT
private slots:
    void layoutAtSizes_data();
    void layoutAtSizes();
};

void TestLayout::layoutAtSizes_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("sidebar");
    QTest::addColumn<bool>("statusBar");
    QTest::newRow("design") << QSize() << false << true;
    QTest::newRow("design-sidebar") << QSize() << true << true;
    QTest::newRow("design-sidebar-nostatus") << QSize() << true << false;
    QTest::newRow("small") << QSize(420, 320) << false << true;
    QTest::newRow("small-sidebar") << QSize(420, 320) << true << true;
    QTest::newRow("large-sidebar") << QSize(1250, 960) << true << true;
    QTest::newRow("large-nostatus") << QSize(1250, 960) << false << false;
}

void TestLayout::layoutAtSizes()
{
    QFETCH(QSize, size);
    QFETCH(bool, sidebar);
    QFETCH(bool, statusBar);
    LocalServer server;
    server.page(QStringLiteral("/layout.html"),
                "<title>Layout</title><body style='margin:0;background:#dfe8f5'>"
                "<div style='position:fixed;bottom:0;left:0;right:0;height:6px;background:#c00'></div>"
                "<h1>Layout check</h1></body>");
    TempIni ini("[Settings]\r\n[Favorites]\r\nNumber=2\r\n[0]\r\nName=Kestrel news\r\nURL=about:blank\r\n"
                "[1]\r\nName=Local page\r\nURL=about:blank\r\n");
    frmMain *w = CreateMainWindow();
    if (size.isValid())
        w->resize(size);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    w->Browser->Navigate(server.url(QStringLiteral("/layout.html")));
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Layout - Kestrel"), 20000);
    if (sidebar)
        w->cmdSidebar->click();
    if (!statusBar)
        w->menuAction(QStringLiteral("mnuViewStatusBar"))->trigger();
    QTest::qWait(400);

    QWidget *client = w->centralWidget();
    const QRect view = w->Browser->widget()->geometry();
    const QRect box = w->cboURL->geometry();
    QVERIFY(box.right() <= client->width());
    QVERIFY(view.top() > box.bottom());
    if (statusBar) {
        QVERIFY2(view.bottom() < w->StatusBar->geometry().top(), "the view stays above the status bar");
        QCOMPARE(w->StatusBar->geometry().bottom(), client->height() - 1);
    } else {
        QVERIFY(view.bottom() < client->height());
    }
    if (sidebar) {
        const QRect side = w->Sidebar->geometry();
        QVERIFY(!statusBar || side.bottom() < w->StatusBar->geometry().top());
        QVERIFY(w->lstFavs->geometry().bottom() < side.height());
        QCOMPARE(w->lstFavs->count(), 2);
    }
    if (!size.isValid()) {
        // At the design size every control shows whole.
        QVERIFY(view.right() < client->width());
        QVERIFY(w->cmdSidebar->geometry().right() < client->width());
    }

    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    QVERIFY(w->grab().save(folder + QStringLiteral("/layout-%1.png").arg(QString::fromLatin1(QTest::currentDataTag()))));
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

int main(int argc, char **argv)
{
    return runWithRealEngine<TestLayout>(argc, argv);
}

#include "tst_e2e_layout.moc"
