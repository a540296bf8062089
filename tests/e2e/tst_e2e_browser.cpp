#include "E2eSupport.h"
#include "MainWindows.h"
#include "TempIni.h"
#include "UserInput.h"

#include "browser/WebEngineBrowserView.h"
#include "browser/MainWindow.h"
#include "settings/Settings.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QProgressBar>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <csignal>

namespace {

WebEngineBrowserView *viewOf(MainWindow *w)
{
    return static_cast<WebEngineBrowserView *>(w->view());
}


// Runs `fn` on the first top-level widget of type T once it shows.
template <typename T, typename Fn>
void whenShown(Fn fn)
{
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [fn, poll] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *t = qobject_cast<T *>(w); t && t->isVisible()) {
                fn(t);
                return;
            }
        }
        QTimer::singleShot(50, *poll);
    };
    QTimer::singleShot(50, *poll);
}

} // namespace

class TestBrowser : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_ini = std::make_unique<TempIni>("[Settings]\r\n[Favorites]\r\nNumber=0\r\n");
    }
    void cleanup()
    {
        closeAllWindows();
        QTest::qWait(50);
        m_ini.reset();
    }

    void captionFollowsThePageTitle();
    void newWindowShowsTheCurrentAddress();
    void silentModeSwallowsScriptDialogs();
    void pageIsDrawnAndTakesClicksAndKeys();
    void saveWritesThePage();

private:
    LocalServer m_server;
    std::unique_ptr<TempIni> m_ini;
};

void TestBrowser::captionFollowsThePageTitle()
{
    m_server.page(QStringLiteral("/title.html"),
                  "<title>First Title</title><script>setTimeout(function(){document.title='Second Title'},300)</script>");
    MainWindow *w = openWindow();
    QCOMPARE(w->windowTitle(), QStringLiteral("Kestrel"));
    w->view()->navigate(m_server.url(QStringLiteral("/title.html")));
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("First Title - Kestrel"), 20000);
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Second Title - Kestrel"), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(!control<QProgressBar>(w, "ProgressBar")->isVisible(), 20000);
    QTRY_COMPARE(ReadIniValue(QStringLiteral("Settings"), QStringLiteral("LastURL")), m_server.url(QStringLiteral("/title.html")));
}

void TestBrowser::newWindowShowsTheCurrentAddress()
{
    m_server.page(QStringLiteral("/home.html"), "<title>Home</title>");
    m_server.page(QStringLiteral("/current.html"), "<title>Current</title>");
    WriteIniValue(QStringLiteral("Settings"), QStringLiteral("Startup"), QStringLiteral("Home"));
    WriteIniValue(QStringLiteral("Settings"), QStringLiteral("Home"), m_server.url(QStringLiteral("/home.html")));
    MainWindow *w = openWindow();
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Home - Kestrel"), 20000);
    w->view()->navigate(m_server.url(QStringLiteral("/current.html")));
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Current - Kestrel"), 20000);
    w->menuAction(QStringLiteral("mnuFileNewWindow"))->trigger();
    QCOMPARE(openMainWindows().size(), 2);
    MainWindow *n = otherMainWindow(w);
    QTRY_COMPARE_WITH_TIMEOUT(n->windowTitle(), QStringLiteral("Current - Kestrel"), 20000);
    QTest::qWait(500);
    QCOMPARE(n->view()->address(), m_server.url(QStringLiteral("/current.html")));
}

void TestBrowser::silentModeSwallowsScriptDialogs()
{
    m_server.page(QStringLiteral("/alerts.html"),
                  "<title>Alerts</title><script>for(var i=0;i<200;i++){alert(i);}"
                  "document.title=confirm('c')?'confirmed':'Survived';</script>");
    WriteIniValue(QStringLiteral("Settings"), QStringLiteral("SupressErrors"), QStringLiteral("True"));
    MainWindow *w = openWindow();
    QVERIFY(w->view()->isSilent());
    w->view()->navigate(m_server.url(QStringLiteral("/alerts.html")));
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Survived - Kestrel"), 20000);
    QVERIFY(!QApplication::activeModalWidget());

    // Not silent: the page's alert is shown to the user.
    w->view()->setSilent(false);
    m_server.page(QStringLiteral("/one.html"), "<title>One</title><script>alert('hello')</script>");
    bool shown = false;
    whenShown<QDialog>([&shown](QDialog *d) {
        shown = true;
        d->reject();
    });
    w->view()->navigate(m_server.url(QStringLiteral("/one.html")));
    QTRY_VERIFY_WITH_TIMEOUT(shown, 20000);
}

void TestBrowser::pageIsDrawnAndTakesClicksAndKeys()
{
    m_server.page(QStringLiteral("/input.html"),
                  "<title>Input</title><body style='margin:0;background:#2a7f3c'>"
                  "<button id=b style='position:absolute;left:0;top:0;width:200px;height:100px'"
                  " onclick=\"document.title='Clicked';document.getElementById('t').focus()\">B</button>"
                  "<input id=t style='position:absolute;left:0;top:150px'"
                  " oninput=\"document.title='Typed '+this.value\"></body>");
    MainWindow *w = openWindow();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    w->view()->navigate(m_server.url(QStringLiteral("/input.html")));
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Input - Kestrel"), 20000);

    // The page reaches the window, not only the engine.
    QWidget *view = viewOf(w)->view();
    const QPoint middle = view->mapTo(w, view->rect().center());
    QTRY_COMPARE_WITH_TIMEOUT(w->grab().toImage().pixelColor(middle), QColor(0x2a, 0x7f, 0x3c), 20000);

    User::click(view, QPoint(100, 50));
    QVERIFY(User::waitForCaption(QStringLiteral("Clicked - Kestrel")));
    User::type(QStringLiteral("hi"));
    QVERIFY(User::waitForCaption(QStringLiteral("Typed hi - Kestrel")));
}

void TestBrowser::saveWritesThePage()
{
    m_server.page(QStringLiteral("/save.html"), "<title>Save Me</title><p>words worth keeping</p>");
    MainWindow *w = openWindow();
    w->view()->navigate(m_server.url(QStringLiteral("/save.html")));
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Save Me - Kestrel"), 20000);
    const QString target = m_ini->dir.path() + QStringLiteral("/saved.html");
    whenShown<QFileDialog>([target](QFileDialog *d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("Save As"));
        d->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(target);
        QMetaObject::invokeMethod(d, "accept");
    });
    w->menuAction(QStringLiteral("mnuFileSave"))->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(target).size() > 0, 20000);
    auto saved = [&target] {
        QFile f(target);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    QTRY_VERIFY_WITH_TIMEOUT(saved().contains("words worth keeping"), 10000);
}

int main(int argc, char **argv)
{
    return runWithRealEngine<TestBrowser>(argc, argv);
}

#include "tst_e2e_browser.moc"
