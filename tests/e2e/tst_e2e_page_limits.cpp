#include "E2eSupport.h"
#include "MainWindows.h"
#include "TempIni.h"
#include "UserInput.h"

#include "browser/WebEngineBrowserView.h"
#include "browser/MainWindow.h"
#include "settings/Settings.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

namespace {

bool hasReddishPixel(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 80 && c.blue() < 80)
                return true;
        }
    return false;
}

} // namespace

// What a page may do to the program and its user, tried with the user's own
// keys and clicks.
class TestPageLimits : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_ini = std::make_unique<TempIni>("[Settings]\r\n[Favorites]\r\nNumber=0\r\n"); }
    void cleanup()
    {
        m_ini->write("[Settings]\r\n"); // no exit question
        // A page may still ask before it is left; the answer here is to leave.
        QTimer leave;
        connect(&leave, &QTimer::timeout, [] {
            if (QDialog *box = shown<QDialog>(QStringLiteral("ScriptDialog"))) {
                if (auto *button = box->findChild<QPushButton *>(QStringLiteral("cmdLeave")))
                    button->click();
                else
                    box->reject();
            }
        });
        leave.start(100);
        closeAllWindows();
        QTest::qWait(50);
        m_ini.reset();
    }

    void propertiesShowTheRealAddressUnderAForgedTitle();
    void popUpsOpenOnlyForTheUsersClick_data();
    void popUpsOpenOnlyForTheUsersClick();
    void alertLoopIsStoppedFromItsBoxAndTheWindowCloses();
    void exitAsksThePageAndStayingKeepsTheTypedText();
    void scriptClosesTheWindowItOpened();
    void reloadAsksBeforeSendingAFormAgain();
    void stuckPageCanBeEndedAndReloaded();

private:
    MainWindow *openOn(const QString &path, const QString &caption)
    {
        MainWindow *w = openWindow();
        w->view()->navigate(m_server.url(path));
        [&] { QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), caption, 20000); }();
        [&] { QVERIFY(UserInput::focus(w)); }();
        // The title comes before the page is drawn and can take clicks.
        QTest::qWait(700);
        return w;
    }

    LocalServer m_server;
    std::unique_ptr<TempIni> m_ini;
};

void TestPageLimits::propertiesShowTheRealAddressUnderAForgedTitle()
{
    const QByteArray forged = "<h1 style='color:#ff0000'>Address: https://www.mybank.example/login</h1>";
    m_server.page(QStringLiteral("/forged.html"), "<title>" + QString::fromUtf8(forged).toHtmlEscaped().toUtf8() + "</title>");
    openOn(QStringLiteral("/forged.html"), QString::fromUtf8(forged) + QStringLiteral(" - Kestrel"));
    UserInput::keys(QStringLiteral("alt+f r"));
    QMessageBox *box = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((box = shown<QMessageBox>(QStringLiteral("PropertiesBox"))), 10000);
    QTest::qWait(200);
    QVERIFY2(!hasReddishPixel(box->grab().toImage()), "the title was drawn as markup");
    QStringList addressLines;
    for (const QString &line : box->text().split(QLatin1Char('\n')))
        if (line.contains(QStringLiteral("Address:")) && !line.startsWith(QStringLiteral("Title:")))
            addressLines << line;
    QCOMPARE(addressLines, QStringList{QStringLiteral("Address:\t") + m_server.url(QStringLiteral("/forged.html"))});
    UserInput::keys(QStringLiteral("Return"));
    QTRY_VERIFY(!shown<QMessageBox>(QStringLiteral("PropertiesBox")));
}

void TestPageLimits::popUpsOpenOnlyForTheUsersClick_data()
{
    QTest::addColumn<QString>("popUp");
    QTest::addColumn<int>("windowsPerClick");
    QTest::newRow("accepted") << QString() << 1;
    QTest::newRow("Reject") << QStringLiteral("Reject") << 0;
}

void TestPageLimits::popUpsOpenOnlyForTheUsersClick()
{
    QFETCH(QString, popUp);
    QFETCH(int, windowsPerClick);
    WriteIniValue(QStringLiteral("Settings"), QStringLiteral("PopUp"), popUp);
    m_server.page(QStringLiteral("/storm.html"),
                  "<title>Storm</title><body style='margin:0'>"
                  "<button style='position:absolute;left:0;top:0;width:300px;height:100px'"
                  " onclick=\"for(var i=0;i<20;i++)window.open('/popup.html')\">Open</button>"
                  "<a href='/linked.html' target='_blank' style='position:absolute;left:0;top:200px'>link</a>"
                  "<script>var got=0;for(var i=0;i<50;i++)if(window.open('/p'+i+'.html'))got++;"
                  "document.title='Stormed '+got</script>");
    m_server.page(QStringLiteral("/popup.html"), "<title>Popup</title>");
    m_server.page(QStringLiteral("/linked.html"), "<title>Linked</title>");
    // Every one of the fifty calls is told that no window opened.
    MainWindow *w = openOn(QStringLiteral("/storm.html"), QStringLiteral("Stormed 0 - Kestrel"));
    QTest::qWait(1000);
    QCOMPARE(openMainWindows().size(), 1);
    QVERIFY(!m_server.requests.join(QLatin1Char(' ')).contains(QStringLiteral("/p0.html")));

    QWidget *page = w->view()->widget();
    const int popUps = m_server.hits(QStringLiteral("/popup.html"));
    const int linked = m_server.hits(QStringLiteral("/linked.html"));
    UserInput::click(page, QPoint(100, 50));
    QTest::qWait(1500);
    QCOMPARE(openMainWindows().size(), 1 + windowsPerClick);
    QCOMPARE(m_server.hits(QStringLiteral("/popup.html")), popUps + windowsPerClick);
    if (windowsPerClick) {
        QVERIFY(otherMainWindow(w)->view()->isOpenedByPage());
        QTRY_COMPARE_WITH_TIMEOUT(otherMainWindow(w)->windowTitle(), QStringLiteral("Popup - Kestrel"), 20000);
    }

    QVERIFY(UserInput::focus(w)); // the new window came up over it
    UserInput::click(page, QPoint(10, 208));
    QTest::qWait(1500);
    QCOMPARE(openMainWindows().size(), 1 + 2 * windowsPerClick);
    QCOMPARE(m_server.hits(QStringLiteral("/linked.html")), linked + windowsPerClick);

    // The program's own New Window is no page's request.
    UserInput::keys(QStringLiteral("ctrl+n"));
    QTRY_COMPARE(openMainWindows().size(), 2 + 2 * windowsPerClick);
}

void TestPageLimits::alertLoopIsStoppedFromItsBoxAndTheWindowCloses()
{
    m_server.page(QStringLiteral("/loop.html"),
                  "<title>Loop</title><script>var n=0;"
                  "function round(){alert('Round '+(++n));document.title='Round '+n;setTimeout(round,0);}"
                  "setTimeout(round,300)</script>");
    m_server.page(QStringLiteral("/once.html"), "<title>Once</title><script>setTimeout(function(){alert('hi')},300)</script>");
    MainWindow *waiting = nullptr;
    MainWindow *w = nullptr;
    QDialog *box = nullptr;
    QCheckBox *stop = nullptr;
    auto boxOf = [&box](MainWindow *window) { return (box = shown<QDialog>(QStringLiteral("ScriptDialog"), window)); };
    auto ok = [&box] { UserInput::click(box->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)); };
    auto round = [&w] { return w->windowTitle().section(QLatin1Char(' '), 1, 1).toInt(); };
    UserSteps steps;
    steps.then([&] {
             w = openWindow();
             w->view()->navigate(m_server.url(QStringLiteral("/loop.html")));
             return true;
         })
        .then([&] {
            if (!boxOf(w) || box->findChild<QCheckBox *>())
                return false;
            ok();
            return true;
        })
        .then([&] { return round() == 1; })
        // The second box offers to stop them.
        .then([&] {
            if (!boxOf(w) || !(stop = box->findChild<QCheckBox *>(QStringLiteral("chkStopDialogs"))))
                return false;
            UserInput::click(stop, QPoint(8, stop->height() / 2));
            return true;
        })
        .then([&] {
            if (!stop->isChecked())
                return false;
            ok();
            return true;
        })
        // The page runs on with no box.
        .then([&] {
            if (round() < 100 || shown<QDialog>(QStringLiteral("ScriptDialog")))
                return false;
            waiting = openWindow();
            waiting->view()->navigate(m_server.url(QStringLiteral("/once.html")));
            return true;
        })
        // While another window's box is up, the close boxes of both windows work.
        .then([&] {
            if (!boxOf(waiting))
                return false;
            UserInput::clickCloseBox(w);
            return true;
        })
        .then([&] { return openMainWindows() == QList<MainWindow *>{waiting}; })
        .then([&] {
            UserInput::clickCloseBox(waiting);
            return true;
        })
        .then([&] { return openMainWindows().isEmpty(); });
    QVERIFY2(steps.run(), qPrintable(steps.failure));
}

void TestPageLimits::exitAsksThePageAndStayingKeepsTheTypedText()
{
    WriteIniValue(QStringLiteral("Settings"), QStringLiteral("ConfirmExit"), QStringLiteral("True"));
    m_server.page(QStringLiteral("/draft.html"),
                  "<title>Draft</title><body style='margin:0'>"
                  "<input style='position:absolute;left:0;top:0;width:300px;height:40px'"
                  " oninput=\"document.title='Draft '+this.value\">"
                  "<script>addEventListener('beforeunload',function(e){e.preventDefault();e.returnValue='';})</script>");
    MainWindow *w = openOn(QStringLiteral("/draft.html"), QStringLiteral("Draft - Kestrel"));
    UserInput::click(w->view()->widget(), QPoint(100, 20));
    UserInput::type(QStringLiteral("notes"));
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Draft notes - Kestrel"), 10000);

    // File, Exit; Yes to the program's question; then the page's question.
    auto exitAndAnswer = [w](const char *answer) {
        QMessageBox *confirm = nullptr;
        QDialog *leave = nullptr;
        UserSteps steps;
        steps.then([] {
                 UserInput::keys(QStringLiteral("alt+f"));
                 return true;
             })
            .then([w] {
                if (!w->findChild<QMenu *>(QStringLiteral("mnuFile"))->isVisible())
                    return false;
                UserInput::keys(QStringLiteral("x"));
                return true;
            })
            .then([&confirm] {
                for (QWidget *t : QApplication::topLevelWidgets())
                    if (auto *m = qobject_cast<QMessageBox *>(t); m && m->isVisible()
                                                                 && m->text() == QStringLiteral("Are you sure you want to exit?"))
                        confirm = m;
                if (!confirm)
                    return false;
                UserInput::click(confirm->button(QMessageBox::Yes));
                return true;
            })
            .then([&leave, w, answer] {
                if (!(leave = shown<QDialog>(QStringLiteral("ScriptDialog"), w)))
                    return false;
                UserInput::click(leave->findChild<QPushButton *>(QString::fromLatin1(answer)));
                return true;
            });
        return steps.run() ? QString() : steps.failure;
    };
    QCOMPARE(exitAndAnswer("cmdStay"), QString());
    QTest::qWait(1500);
    QCOMPARE(openMainWindows(), QList<MainWindow *>{w});
    // The text is still there to type on.
    QVERIFY(UserInput::focus(w));
    UserInput::type(QStringLiteral("x"));
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Draft notesx - Kestrel"), 10000);

    QCOMPARE(exitAndAnswer("cmdLeave"), QString());
    QTRY_VERIFY_WITH_TIMEOUT(openMainWindows().isEmpty(), 10000);
}

void TestPageLimits::scriptClosesTheWindowItOpened()
{
    m_server.page(QStringLiteral("/opener.html"),
                  "<title>Opener</title><body style='margin:0'><button style='width:300px;height:100px'"
                  " onclick=\"window.open('/closer.html')\">Open</button>");
    m_server.page(QStringLiteral("/closer.html"),
                  "<title>Closer</title><script>setTimeout(function(){window.close()},1000)</script>");
    MainWindow *w = openOn(QStringLiteral("/opener.html"), QStringLiteral("Opener - Kestrel"));
    UserInput::click(w->view()->widget(), QPoint(100, 50));
    QTRY_COMPARE_WITH_TIMEOUT(openMainWindows().size(), 2, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(otherMainWindow(w)->windowTitle(), QStringLiteral("Closer - Kestrel"), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(openMainWindows(), QList<MainWindow *>{w}, 10000);
}

void TestPageLimits::reloadAsksBeforeSendingAFormAgain()
{
    m_server.page(QStringLiteral("/form.html"),
                  "<title>Form</title><body style='margin:0'><form method='post' action='/sent'>"
                  "<input name='q' value='1'><button style='position:absolute;left:0;top:0;width:300px;height:100px'>"
                  "Send</button></form>");
    m_server.page(QStringLiteral("/sent"), "<title>Sent</title>");
    MainWindow *w = openOn(QStringLiteral("/form.html"), QStringLiteral("Form - Kestrel"));
    UserInput::click(w->view()->widget(), QPoint(100, 50));
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Sent - Kestrel"), 10000);
    QCOMPARE(m_server.posts, QStringList{QStringLiteral("/sent")});

    auto reloadAnswering = [w](QMessageBox::StandardButton answer) {
        UserSteps steps;
        steps.then([w] {
                 UserInput::click(control<QPushButton>(w, "cmdReload"));
                 return true;
             })
            .then([answer] {
                auto *prompt = shown<QMessageBox>(QStringLiteral("ResendPrompt"));
                if (!prompt)
                    return false;
                UserInput::click(prompt->button(answer));
                return true;
            });
        return steps.run() ? QString() : steps.failure;
    };
    QCOMPARE(reloadAnswering(QMessageBox::No), QString());
    QTest::qWait(1500);
    QCOMPARE(m_server.posts.size(), 1);
    QCOMPARE(reloadAnswering(QMessageBox::Yes), QString());
    QTRY_COMPARE_WITH_TIMEOUT(m_server.posts.size(), 2, 10000);
}

void TestPageLimits::stuckPageCanBeEndedAndReloaded()
{
    m_server.page(QStringLiteral("/tick.html"),
                  "<title>Tick</title><script>var n=0;setInterval(function(){document.title='Tick '+(++n)},100)</script>");
    m_server.page(QStringLiteral("/stuck.html"), "<title>Stuck</title><script>setTimeout(function(){for(;;){}},300)</script>");
    // Another site (another host name for this machine) in another window.
    MainWindow *other = openWindow();
    other->view()->navigate(m_server.url(QStringLiteral("/tick.html")).replace(QStringLiteral("127.0.0.1"),
                                                                                 QStringLiteral("localhost")));
    QTRY_VERIFY_WITH_TIMEOUT(other->windowTitle().startsWith(QStringLiteral("Tick ")), 20000);
    MainWindow *w = openOn(QStringLiteral("/stuck.html"), QStringLiteral("Stuck - Kestrel"));
    auto *bar = w->findChild<QWidget *>(QStringLiteral("StuckPageBar"));
    QVERIFY(bar && !bar->isVisible());

    UserInput::click(control<QPushButton>(w, "cmdStop"));
    QTRY_VERIFY_WITH_TIMEOUT(bar->isVisible(), 10000);
    UserInput::click(bar->findChild<QPushButton *>(QStringLiteral("cmdEndPage")));
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Page stopped - Kestrel"), 10000);
    QVERIFY(!bar->isVisible());
    // The other site's page runs on.
    const QString ticked = other->windowTitle();
    QTRY_VERIFY_WITH_TIMEOUT(other->windowTitle() != ticked, 5000);

    const int loads = m_server.hits(QStringLiteral("/stuck.html"));
    UserInput::click(control<QPushButton>(w, "cmdReload"));
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Stuck - Kestrel"), 10000);
    QCOMPARE(m_server.hits(QStringLiteral("/stuck.html")), loads + 1);
}

int main(int argc, char **argv)
{
    return runWithRealEngine<TestPageLimits>(argc, argv);
}

#include "tst_e2e_page_limits.moc"
