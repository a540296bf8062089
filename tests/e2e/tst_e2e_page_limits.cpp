#include "EngineTest.h"
#include "ProcessTree.h"

#include "settings/Settings.h"
#include "view/WebEngineBrowserView.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QWebEnginePage>

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

// What a page may do to the program and its user, tried with the user's own
// keys and clicks, and pages that try to break the program.
class TestPageLimits : public EngineTest
{
    Q_OBJECT
private slots:
    void propertiesShowTheRealAddressUnderAForgedTitle();
    void popUpsOpenOnlyForTheUsersClick_data();
    void popUpsOpenOnlyForTheUsersClick();
    void alertLoopIsStoppedFromItsBoxAndTheWindowCloses();
    void exitAsksThePageAndStayingKeepsTheTypedText();
    void scriptClosesTheWindowItOpened();
    void reloadAsksBeforeSendingAFormAgain();
    void reloadAsksNothingWhenNoFormGoesAgain();
    void stuckPageCanBeEndedAndReloaded();
    void endingAStuckPageSaysWhichWindowsEndWithIt();
    void alertLoopInSilentModeKeepsTheWindowAnswering();
    void millionCharacterTitleLeavesAUsableCaption();
    void thirtyWindowsOpenedAndClosedLeaveNothingBehind();
};

void TestPageLimits::propertiesShowTheRealAddressUnderAForgedTitle()
{
    const QByteArray forged = "<h1 style='color:#ff0000'>Address: https://www.mybank.example/login</h1>";
    server.page(QStringLiteral("/forged.html"), "<title>" + QString::fromUtf8(forged).toHtmlEscaped().toUtf8() + "</title>");
    openOn(QStringLiteral("/forged.html"), QString::fromUtf8(forged) + QStringLiteral(" - Kestrel"));
    User::key(QStringLiteral("alt+f r"));
    QMessageBox *box = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((box = shown<QMessageBox>(QStringLiteral("PropertiesBox"))), 10000);
    QTest::qWait(200);
    QVERIFY2(User::count(User::look(box), Qt::red, 60) == 0, "the title was drawn as markup");
    const QStringList addressLines = box->text().split(QLatin1Char('\n')).filter(QRegularExpression(QStringLiteral("^(?!Title:).*Address:")));
    QCOMPARE(addressLines, QStringList{QStringLiteral("Address:\t") + server.url(QStringLiteral("/forged.html"))});
    User::key(QStringLiteral("Return"));
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
    writeIniValue(QStringLiteral("Settings"), QStringLiteral("PopUp"), popUp);
    server.page(QStringLiteral("/storm.html"),
                  "<title>Storm</title><body style='margin:0'>"
                  "<button style='position:absolute;left:0;top:0;width:300px;height:100px'"
                  " onclick=\"storm()\">Open</button>"
                  "<a href='/linked.html' target='_blank' style='position:absolute;left:0;top:200px'>link</a>"
                  // One click spent on many windows: by script, by links and
                  // forms clicked by script, and again a moment later.
                  "<script>function storm(){var i,a,f;for(i=0;i<20;i++)window.open('/popup.html');"
                  "for(i=0;i<10;i++){a=document.createElement('a');a.href='/popup.html';a.target='_blank';"
                  "document.body.appendChild(a);a.click();f=document.createElement('form');f.action='/popup.html';"
                  "f.target='_blank';document.body.appendChild(f);f.submit();}"
                  "setTimeout(function(){for(var j=0;j<20;j++)window.open('/popup.html')},300)}"
                  "var got=0;for(var i=0;i<50;i++)if(window.open('/p'+i+'.html'))got++;"
                  "document.title='Stormed '+got</script>");
    server.page(QStringLiteral("/popup.html"), "<title>Popup</title>");
    server.page(QStringLiteral("/linked.html"), "<title>Linked</title>");
    // Every one of the fifty calls is told that no window opened.
    MainWindow *w = openOn(QStringLiteral("/storm.html"), QStringLiteral("Stormed 0 - Kestrel"));
    QTest::qWait(1000);
    QCOMPARE(openMainWindows().size(), 1);
    QVERIFY(!server.requests.join(QLatin1Char(' ')).contains(QStringLiteral("/p0.html")));

    QWidget *page = w->view()->widget();
    const int popUps = server.hits(QStringLiteral("/popup.html"));
    const int linked = server.hits(QStringLiteral("/linked.html"));
    User::click(page, QPoint(100, 50));
    QTest::qWait(1500);
    QCOMPARE(openMainWindows().size(), 1 + windowsPerClick);
    QCOMPARE(server.hits(QStringLiteral("/popup.html")), popUps + windowsPerClick);
    if (windowsPerClick) {
        QVERIFY(otherMainWindow(w)->view()->isOpenedByPage());
        QTRY_COMPARE_WITH_TIMEOUT(otherMainWindow(w)->windowTitle(), QStringLiteral("Popup - Kestrel"), 20000);
    }

    QVERIFY(User::focus(w)); // the new window came up over it
    User::click(page, QPoint(10, 208));
    QTest::qWait(1500);
    QCOMPARE(openMainWindows().size(), 1 + 2 * windowsPerClick);
    QCOMPARE(server.hits(QStringLiteral("/linked.html")), linked + windowsPerClick);
}

void TestPageLimits::alertLoopIsStoppedFromItsBoxAndTheWindowCloses()
{
    server.page(QStringLiteral("/loop.html"),
                  "<title>Loop</title><script>var n=0;"
                  "function round(){alert('Round '+(++n));document.title='Round '+n;setTimeout(round,0);}"
                  "setTimeout(round,300)</script>");
    server.page(QStringLiteral("/once.html"), "<title>Once</title><script>setTimeout(function(){alert('hi')},300)</script>");
    MainWindow *waiting = nullptr;
    MainWindow *w = nullptr;
    QDialog *box = nullptr;
    QCheckBox *stop = nullptr;
    auto boxOf = [&box](MainWindow *window) { return (box = shown<QDialog>(QStringLiteral("ScriptDialog"), window)); };
    auto ok = [&box] { return User::clickIf(box->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)); };
    auto round = [&w] { return w->windowTitle().section(QLatin1Char(' '), 1, 1).toInt(); };
    UserSteps steps;
    steps.then([&] { return (w = openWindow())->view()->navigate(server.url(QStringLiteral("/loop.html"))), true; })
        .then([&] { return boxOf(w) && !box->findChild<QCheckBox *>() && ok(); })
        .then([&] { return round() == 1; })
        // The second box offers to stop them.
        .then([&] {
            stop = boxOf(w) ? box->findChild<QCheckBox *>(QStringLiteral("chkStopDialogs")) : nullptr;
            return stop && User::clickIf(stop, QPoint(8, stop->height() / 2));
        })
        .then([&] { return stop->isChecked() && ok(); })
        // The page runs on with no box.
        .then([&] {
            if (round() < 100 || shown<QDialog>(QStringLiteral("ScriptDialog")))
                return false;
            (waiting = openWindow())->view()->navigate(server.url(QStringLiteral("/once.html")));
            return true;
        })
        // While another window's box is up, the close boxes of both windows work.
        .then([&] { return boxOf(waiting) && (User::close(w), true); })
        .then([&] { return openMainWindows() == QList<MainWindow *>{waiting} && (User::close(waiting), true); })
        .then([&] { return openMainWindows().isEmpty(); });
    QVERIFY2(steps.run(), qPrintable(steps.failure));
}

void TestPageLimits::exitAsksThePageAndStayingKeepsTheTypedText()
{
    writeIniValue(QStringLiteral("Settings"), QStringLiteral("ConfirmExit"), QStringLiteral("True"));
    server.page(QStringLiteral("/draft.html"),
                  "<title>Draft</title><body style='margin:0'>"
                  "<input style='position:absolute;left:0;top:0;width:300px;height:40px'"
                  " oninput=\"document.title='Draft '+this.value\">"
                  "<script>addEventListener('beforeunload',function(e){e.preventDefault();e.returnValue='';})</script>");
    MainWindow *w = openOn(QStringLiteral("/draft.html"), QStringLiteral("Draft - Kestrel"));
    User::click(w->view()->widget(), QPoint(100, 20));
    User::type(QStringLiteral("notes"));
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Draft notes - Kestrel"), 10000);

    // File, Exit; Yes to the program's question; then the page's question.
    auto exitAndAnswer = [w](const char *answer) {
        QMessageBox *confirm = nullptr;
        QDialog *leave = nullptr;
        UserSteps steps;
        steps.then([] { return User::key(QStringLiteral("alt+f")), true; })
            .then([w] { return w->findChild<QMenu *>(QStringLiteral("mnuFile"))->isVisible() && (User::key(QStringLiteral("x")), true); })
            .then([&confirm] {
                confirm = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                return confirm && confirm->text() == QStringLiteral("Are you sure you want to exit?")
                       && User::clickIf(confirm->button(QMessageBox::Yes));
            })
            .then([&leave, w, answer] {
                return (leave = shown<QDialog>(QStringLiteral("ScriptDialog"), w))
                       && User::clickIf(leave->findChild<QPushButton *>(QString::fromLatin1(answer)));
            });
        return steps.run() ? QString() : steps.failure;
    };
    QCOMPARE(exitAndAnswer("cmdStay"), QString());
    QTest::qWait(1500);
    QCOMPARE(openMainWindows(), QList<MainWindow *>{w});
    // The text is still there to type on.
    QVERIFY(User::focus(w));
    User::type(QStringLiteral("x"));
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Draft notesx - Kestrel"), 10000);

    QCOMPARE(exitAndAnswer("cmdLeave"), QString());
    QTRY_VERIFY_WITH_TIMEOUT(openMainWindows().isEmpty(), 10000);
}

void TestPageLimits::scriptClosesTheWindowItOpened()
{
    server.page(QStringLiteral("/opener.html"),
                  "<title>Opener</title><body style='margin:0'><button style='width:300px;height:100px'"
                  " onclick=\"window.open('/closer.html')\">Open</button>");
    server.page(QStringLiteral("/closer.html"),
                  "<title>Closer</title><script>setTimeout(function(){window.close()},1000)</script>");
    MainWindow *w = openOn(QStringLiteral("/opener.html"), QStringLiteral("Opener - Kestrel"));
    User::click(w->view()->widget(), QPoint(100, 50));
    QTRY_COMPARE_WITH_TIMEOUT(openMainWindows().size(), 2, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(otherMainWindow(w)->windowTitle(), QStringLiteral("Closer - Kestrel"), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(openMainWindows(), QList<MainWindow *>{w}, 10000);
}

void TestPageLimits::reloadAsksBeforeSendingAFormAgain()
{
    server.page(QStringLiteral("/form.html"),
                  "<title>Form</title><body style='margin:0'><form method='post' action='/sent'>"
                  "<input name='q' value='1'><button style='position:absolute;left:0;top:0;width:300px;height:100px'>"
                  "Send</button></form>");
    server.page(QStringLiteral("/sent"), "<title>Sent</title>");
    MainWindow *w = openOn(QStringLiteral("/form.html"), QStringLiteral("Form - Kestrel"));
    User::click(w->view()->widget(), QPoint(100, 50));
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Sent - Kestrel"), 10000);
    QCOMPARE(server.posts, QStringList{QStringLiteral("/sent")});

    auto reloadAnswering = [w](QMessageBox::StandardButton answer) {
        UserSteps steps;
        steps.then([w] { return User::clickIf(control<QPushButton>(w, "cmdReload")); })
            .then([answer] {
                auto *prompt = shown<QMessageBox>(QStringLiteral("ResendPrompt"));
                return prompt && User::clickIf(prompt->button(answer));
            });
        return steps.run() ? QString() : steps.failure;
    };
    QCOMPARE(reloadAnswering(QMessageBox::No), QString());
    QTest::qWait(1500);
    QCOMPARE(server.posts.size(), 1);
    QCOMPARE(reloadAnswering(QMessageBox::Yes), QString());
    QTRY_COMPARE_WITH_TIMEOUT(server.posts.size(), 2, 10000);
}

void TestPageLimits::reloadAsksNothingWhenNoFormGoesAgain()
{
    const QByteArray button = "<button style='position:absolute;left:0;top:0;width:300px;height:100px'>Send</button>";
    server.page(QStringLiteral("/search.html"), "<title>Search</title><body style='margin:0'><form action='/results'>"
                                                "<input name='q' value='kestrel'>" + button + "</form>");
    server.page(QStringLiteral("/results?q=kestrel"), "<title>Results</title>");
    server.page(QStringLiteral("/shop.html"), "<title>Shop</title><body style='margin:0'><form method='post' "
                                              "action='/order'><input name='item' value='1'>" + button + "</form>");
    // The shop answers an order by sending the browser on to a page of its own.
    server.answer = [](const QString &path, const QByteArray &) {
        return path == QLatin1String("/order")
                   ? QByteArray("HTTP/1.1 303 See Other\r\nLocation: /thanks.html\r\nContent-Length: 0\r\n"
                                "Connection: close\r\n\r\n")
                   : QByteArray();
    };
    server.page(QStringLiteral("/thanks.html"), "<title>Thanks</title>");
    MainWindow *w = openOn(QStringLiteral("/search.html"), QStringLiteral("Search - Kestrel"));

    // Reload fetches the page again, and no box comes up first.
    auto reloadFetches = [this, w](const QString &path) {
        const int hits = server.hits(path);
        bool asked = false;
        UserSteps steps;
        steps.then([w] { return User::clickIf(control<QPushButton>(w, "cmdReload")); })
            .then([&] {
                if (auto *prompt = shown<QMessageBox>(QStringLiteral("ResendPrompt"))) {
                    asked = true;
                    prompt->reject();
                }
                return asked || server.hits(path) > hits;
            });
        return steps.run() && !asked;
    };
    User::click(w->view()->widget(), QPoint(100, 50));
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Results - Kestrel"), 10000);
    QVERIFY2(reloadFetches(QStringLiteral("/results?q=kestrel")), "a form sent with GET");

    w->view()->navigate(server.url(QStringLiteral("/shop.html")));
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Shop - Kestrel"), 10000);
    QTest::qWait(700); // drawn and taking clicks
    User::click(w->view()->widget(), QPoint(100, 50));
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Thanks - Kestrel"), 10000);
    QVERIFY2(reloadFetches(QStringLiteral("/thanks.html")), "the page a form's answer sent the browser on to");
    QCOMPARE(server.posts.count(QStringLiteral("/order")), 1);
}

void TestPageLimits::stuckPageCanBeEndedAndReloaded()
{
    server.page(QStringLiteral("/tick.html"),
                  "<title>Tick</title><script>var n=0;setInterval(function(){document.title='Tick '+(++n)},100)</script>");
    server.page(QStringLiteral("/stuck.html"), "<title>Stuck</title><script>setTimeout(function(){for(;;){}},300)</script>");
    // The same site in another window, which has a page process of its own.
    MainWindow *other = openWindow();
    other->view()->navigate(server.url(QStringLiteral("/tick.html")));
    QTRY_VERIFY_WITH_TIMEOUT(other->windowTitle().startsWith(QStringLiteral("Tick ")), 20000);
    MainWindow *w = openOn(QStringLiteral("/stuck.html"), QStringLiteral("Stuck - Kestrel"));
    auto *bar = w->findChild<QWidget *>(QStringLiteral("StuckPageBar"));
    QVERIFY(bar && !bar->isVisible());

    User::click(control<QPushButton>(w, "cmdStop"));
    QTRY_VERIFY_WITH_TIMEOUT(bar->isVisible(), 10000);
    User::click(bar->findChild<QPushButton *>(QStringLiteral("cmdEndPage")));
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Page stopped - Kestrel"), 10000);
    QVERIFY(!bar->isVisible());
    // The other site's page runs on.
    const QString ticked = other->windowTitle();
    QTRY_VERIFY_WITH_TIMEOUT(other->windowTitle() != ticked, 5000);

    const int loads = server.hits(QStringLiteral("/stuck.html"));
    User::click(control<QPushButton>(w, "cmdReload"));
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Stuck - Kestrel"), 10000);
    QCOMPARE(server.hits(QStringLiteral("/stuck.html")), loads + 1);
}

void TestPageLimits::endingAStuckPageSaysWhichWindowsEndWithIt()
{
    // A window the page opened for itself shares its page process; once it
    // has loaded, the first page stops answering.
    server.page(QStringLiteral("/busy.html"),
                "<title>Busy</title><body style='margin:0'><a rel='opener' target='_blank' href='/companion.html' "
                "style='display:block;width:300px;height:100px'>Open</a><script>function hang(){setTimeout(function()"
                "{document.title='Looping';for(;;){}},200)}</script>");
    server.page(QStringLiteral("/companion.html"),
                "<title>Companion</title><script>if(opener&&opener.hang)opener.hang()</script>");
    MainWindow *w = openOn(QStringLiteral("/busy.html"), QStringLiteral("Busy - Kestrel"));
    User::click(w->view()->widget(), QPoint(100, 50));
    QTRY_COMPARE_WITH_TIMEOUT(openMainWindows().size(), 2, 10000);
    MainWindow *companion = otherMainWindow(w);
    QTRY_COMPARE_WITH_TIMEOUT(companion->windowTitle(), QStringLiteral("Companion - Kestrel"), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Looping - Kestrel"), 10000);

    QVERIFY(User::focus(w));
    User::click(control<QPushButton>(w, "cmdStop"));
    auto *bar = w->findChild<QWidget *>(QStringLiteral("StuckPageBar"));
    QTRY_VERIFY_WITH_TIMEOUT(bar->isVisible(), 10000);
    QCOMPARE(control<QLabel>(bar, "StuckPageText")->text(),
             QStringLiteral("This page is not answering. Ending it also stops the page in 1 other window, which "
                            "shares its process."));
    User::click(bar->findChild<QPushButton *>(QStringLiteral("cmdEndPage")));
    // Each window says its page stopped, and takes it back with Reload.
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Page stopped - Kestrel"), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(companion->windowTitle(), QStringLiteral("Page stopped - Kestrel"), 10000);
    QVERIFY(User::focus(companion));
    User::click(control<QPushButton>(companion, "cmdReload"));
    QTRY_COMPARE_WITH_TIMEOUT(companion->windowTitle(), QStringLiteral("Companion - Kestrel"), 10000);
}

void TestPageLimits::alertLoopInSilentModeKeepsTheWindowAnswering()
{
    writeIniValue(QStringLiteral("Settings"), QStringLiteral("SupressErrors"), QStringLiteral("True"));
    server.page(QStringLiteral("/loop.html"),
                "<title>Loop</title><script>var n=0;setInterval(function(){for(var i=0;i<500;i++){alert(i);}"
                "document.title=(confirm('c')?'Confirmed ':'Looping ')+(++n);},0);</script>");
    server.page(QStringLiteral("/calm.html"), "<title>Calm</title>");
    MainWindow *w = openWindow();
    w->view()->navigate(server.url(QStringLiteral("/loop.html")));
    // Silenced boxes are not shown, and a question is answered No.
    QTRY_VERIFY_WITH_TIMEOUT(w->windowTitle().startsWith(QStringLiteral("Looping")), 20000);
    for (int i = 0; i < 5; ++i) {
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(eventLoopDelayMs() < 1000);
        QTest::qWait(200);
    }
    // The user can still leave the page.
    QVERIFY(User::focus(w));
    User::key(QStringLiteral("ctrl+l"));
    User::type(server.url(QStringLiteral("/calm.html")));
    User::key(QStringLiteral("Return"));
    QVERIFY(User::waitForCaption(QStringLiteral("Calm - Kestrel")));
}

void TestPageLimits::millionCharacterTitleLeavesAUsableCaption()
{
    server.page(QStringLiteral("/long.html"),
                  "<title>x</title><script>document.title='K'+'e'.repeat(1000000)+'strel';</script>");
    MainWindow *w = openWindow();
    w->view()->navigate(server.url(QStringLiteral("/long.html")));
    QTRY_VERIFY_WITH_TIMEOUT(w->windowTitle().startsWith(QStringLiteral("Kee")), 20000);
    QVERIFY(w->windowTitle().size() < 1100);
    QVERIFY(w->windowTitle().endsWith(QStringLiteral(" - Kestrel")));
    QVERIFY(eventLoopDelayMs() < 1000);
    QTRY_VERIFY_WITH_TIMEOUT(User::captions().contains(w->windowTitle()), 10000);
}

void TestPageLimits::thirtyWindowsOpenedAndClosedLeaveNothingBehind()
{
    server.page(QStringLiteral("/churn.html"), "<title>Churn</title><p>page</p>");
    MainWindow *first = openOn(QStringLiteral("/churn.html"), QStringLiteral("Churn - Kestrel"));
    QList<QPointer<QObject>> closed; // each closed window's view and page
    auto openAndClose = [first, &closed] {
        QVERIFY(User::focus(first));
        User::key(QStringLiteral("ctrl+n"));
        QTRY_COMPARE_WITH_TIMEOUT(openMainWindows().size(), 2, 20000);
        MainWindow *w = otherMainWindow(first);
        QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Churn - Kestrel"), 20000);
        closed << w->view() << static_cast<WebEngineBrowserView *>(w->view())->page();
        User::close(w);
        // The page is asked first and lets go a moment later.
        QTRY_COMPARE_WITH_TIMEOUT(openMainWindows().size(), 1, 10000);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    // What the program and its page processes allocated; the libraries they
    // share with other programs on the machine would make the figure move
    // with whatever else runs.
    auto allocatedKb = [] { return treePssKb(QCoreApplication::applicationPid(), "Pss_Anon:"); };
    // One window first, so what is made once on first use counts in both figures.
    openAndClose();
    QTest::qWait(3000);
    const int widgetsBefore = QApplication::topLevelWidgets().size();
    const int processesBefore = processTree(QCoreApplication::applicationPid()).size();
    const double before = allocatedKb();

    for (int i = 0; i < 30; ++i) {
        openAndClose();
        QTest::qWait(50);
    }
    // The closed windows' page processes end, and what they freed goes back.
    QTRY_VERIFY2_WITH_TIMEOUT(processTree(QCoreApplication::applicationPid()).size() <= processesBefore,
                              "a closed window's page process stays", 20000);
    QTest::qWait(3000);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const double after = allocatedKb();
    QVERIFY(QApplication::topLevelWidgets().size() <= widgetsBefore);
    QCOMPARE(openMainWindows(), QList<MainWindow *>{first});
    QVERIFY2(std::all_of(closed.begin(), closed.end(), [](const QPointer<QObject> &o) { return o.isNull(); }),
             "a closed window's view or page is still there");
    QVERIFY2(after <= before * 1.1, qPrintable(QStringLiteral("%1 kB -> %2 kB").arg(before).arg(after)));
}

int main(int argc, char **argv)
{
    return runWithRealEngine<TestPageLimits>(argc, argv);
}

#include "tst_e2e_page_limits.moc"
