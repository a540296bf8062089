#include "WidgetTestSupport.h"

#include "app/frmStartup.h"
#include "browser/AddressBox.h"
#include "browser/StatusPanels.h"
#include "browser/Twips.h"
#include "settings/Settings.h"

#include <QAction>
#include <QCheckBox>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

namespace {
const QByteArray kBase = "[Settings]\r\nDoStartup=False\r\n[Favorites]\r\nNumber=0\r\n";

// Inside the status bar, and across panel 2 only.
bool overPanel2(frmMain *w)
{
    const QRect bar = w->ProgressBar->geometry();
    const QRect panel = w->StatusBar->panelRect(2).translated(w->StatusBar->pos());
    return w->StatusBar->geometry().contains(bar) && bar.left() >= panel.left() && bar.right() <= panel.right();
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { useFakeViews(); }
    void cleanup() { closeAllWindows(); }

    void startStoresTheChoiceBeforeTheWindowLoads();
    void closingTheStartupDialogStoresNothing();
    void loadStepByStartMode_data();
    void loadStepByStartMode();
    void silentModeOnlyForExactTrue();
    void lastPageIsRememberedForContinue();
    void closeStepAsksOnlyForExactTrue();
    void homeUsesThePerUserSettingOnly();
    void sidebarTogglesKeepCheckMarkEqual();
    void statusBarToggleHidesProgressAndGrowsView();
    void pageEventsReachStatusCaptionAndProgress();
    void progressLeftAloneWhileStatusBarHidden();
};

void TestMainWindow::startStoresTheChoiceBeforeTheWindowLoads()
{
    TempIni ini("[Settings]\r\nStartup=Continue\r\n");
    auto *dlg = new frmStartup;
    QVERIFY(dlg->Form_Load());
    QVERIFY(dlg->optContinue->isChecked());
    QVERIFY(!dlg->optContinue->isEnabled());
    dlg->optBlank->setChecked(true);
    dlg->chkDontAsk->setChecked(true);
    QTest::mouseClick(dlg->cmdStart, Qt::LeftButton);
    QCOMPARE(ReadIniValue(QStringLiteral("Settings"), QStringLiteral("Startup")), QStringLiteral("Blank"));
    QCOMPARE(ReadIniValue(QStringLiteral("Settings"), QStringLiteral("DoStartup")), QStringLiteral("False"));
    const QList<frmMain *> windows = openMainWindows();
    QCOMPARE(windows.size(), 1);
    // The window read the mode just stored.
    QCOMPARE(fakeOf(windows.first())->calls.first(), QStringLiteral("Navigate2:about:blank:2"));

    // Without "Don't Ask Me Again" nothing is stored for it.
    TempIni fresh(QByteArray(), false);
    auto *again = new frmStartup;
    QVERIFY(again->Form_Load());
    again->cmdStart_Click();
    QCOMPARE(fresh.bytes(), QByteArray("[Settings]\r\nStartup=Home\r\n"));
}

void TestMainWindow::closingTheStartupDialogStoresNothing()
{
    TempIni ini(QByteArray(), false);
    auto *dlg = new frmStartup;
    QVERIFY(dlg->Form_Load());
    dlg->show();
    dlg->close();
    QVERIFY(!QFile::exists(ini.path));
    QVERIFY(openMainWindows().isEmpty());
}

void TestMainWindow::loadStepByStartMode_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QStringList>("calls");
    QTest::newRow("absent") << QByteArray() << QStringList();
    QTest::newRow("lower case") << QByteArray("Startup=home\r\n") << QStringList();
    QTest::newRow("blank") << QByteArray("Startup=Blank\r\n") << QStringList{"Navigate2:about:blank:2"};
    QTest::newRow("home without an entry") << QByteArray("Startup=Home\r\n") << QStringList{"Navigate:"};
    QTest::newRow("home") << QByteArray("StartUp=Home\r\nHome=http://127.0.0.1:1/h\r\n")
                          << QStringList{"Navigate:http://127.0.0.1:1/h"};
    QTest::newRow("continue") << QByteArray("Startup=Continue\r\nLastURL=x y\r\n") << QStringList{"Navigate:x y"};
}

void TestMainWindow::loadStepByStartMode()
{
    QFETCH(QByteArray, settings);
    QFETCH(QStringList, calls);
    TempIni ini("[Settings]\r\n" + settings + "[Favorites]\r\nNumber=0\r\n");
    frmMain *w = openWindow();
    QCOMPARE(fakeOf(w)->calls, calls);
    // The rest of the load step ran in every case.
    QCOMPARE(w->lstFavs->count(), 1);
    QCOMPARE(w->lstFavs->item(0)->text(), QStringLiteral("No Favorites Added"));
    QVERIFY2(overPanel2(w), "progress bar lies over status panel 2");
}

void TestMainWindow::silentModeOnlyForExactTrue()
{
    TempIni ini("[Settings]\r\nSupressErrors=true\r\n");
    QVERIFY(!openWindow()->Browser->Silent());
    WriteIniValue(QStringLiteral("Settings"), QStringLiteral("SupressErrors"), QStringLiteral("True"));
    QVERIFY(openWindow()->Browser->Silent());
}

void TestMainWindow::lastPageIsRememberedForContinue()
{
    TempIni ini(kBase);
    frmMain *w = openWindow();
    emit w->Browser->DocumentComplete(QStringLiteral("http://127.0.0.1:1/last"));
    QTRY_COMPARE(ReadIniValue(QStringLiteral("Settings"), QStringLiteral("LastURL")), QStringLiteral("http://127.0.0.1:1/last"));
    emit w->Browser->DocumentComplete(QString());
    QCOMPARE(ReadIniValue(QStringLiteral("Settings"), QStringLiteral("LastURL")), QStringLiteral("http://127.0.0.1:1/last"));
}

void TestMainWindow::closeStepAsksOnlyForExactTrue()
{
    TempIni ini("[Settings]\r\nConfirmExit=true\r\n");
    QPointer<frmMain> quiet = openWindow();
    quiet->menuAction(QStringLiteral("mnuFileExit"))->trigger();
    QVERIFY(!quiet || !quiet->isVisible());

    WriteIniValue(QStringLiteral("Settings"), QStringLiteral("ConfirmExit"), QStringLiteral("True"));
    QPointer<frmMain> a = openWindow();
    QPointer<frmMain> b = openWindow();
    MessageBoxAnswer no;
    no.arm(QMessageBox::No);
    a->menuAction(QStringLiteral("mnuFileExit"))->trigger();
    QVERIFY(no.seen);
    QCOMPARE(no.title, QStringLiteral("Exit Confirmation"));
    QCOMPARE(no.text, QStringLiteral("Are you sure you want to exit?"));
    QVERIFY(no.defaultIsYes);
    QVERIFY(no.noIcon);
    QVERIFY(a->isVisible());

    MessageBoxAnswer yes;
    yes.arm(QMessageBox::Yes);
    a->close();
    QVERIFY(yes.seen);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!a);
    QVERIFY(b && b->isVisible());
}

void TestMainWindow::homeUsesThePerUserSettingOnly()
{
    TempIni ini(kBase + "[Settings]\r\nHome=http://file.test/\r\n");
    TempUserSettings user;
    frmMain *w = openWindow();
    QTest::mouseClick(w->cmdHome, Qt::LeftButton);
    QCOMPARE(fakeOf(w)->calls.last(), QStringLiteral("Navigate:") + QString::fromLatin1(kBuiltInHomePage));
    user.setHome(QStringLiteral(" http://user.test/ "));
    QTest::mouseClick(w->cmdHome, Qt::LeftButton);
    QCOMPARE(fakeOf(w)->calls.last(), QStringLiteral("Navigate: http://user.test/ "));
}

void TestMainWindow::sidebarTogglesKeepCheckMarkEqual()
{
    TempIni ini(kBase);
    frmMain *w = openWindow();
    QAction *item = w->menuAction(QStringLiteral("mnuViewSideBar"));
    const int leftHidden = w->Browser->widget()->x();
    const int widthHidden = w->Browser->widget()->width();

    QTest::mouseClick(w->cmdSidebar, Qt::LeftButton);
    QVERIFY(w->Sidebar->isVisible());
    QVERIFY(item->isChecked());
    QCOMPARE(w->Browser->widget()->x(), Twips::toPixels(4000));
    QVERIFY(qAbs(widthHidden - w->Browser->widget()->width() - Twips::toPixels(4000)) <= 1);

    item->trigger(); // through the menu, with the action's own flip
    QVERIFY(!w->Sidebar->isVisible());
    QVERIFY(!item->isChecked());
    QCOMPARE(w->Browser->widget()->x(), leftHidden);

    item->trigger();
    QVERIFY(w->Sidebar->isVisible() && item->isChecked());
    QTest::mouseClick(w->cmdSidebar, Qt::LeftButton);
    QVERIFY(!w->Sidebar->isVisible() && !item->isChecked());
}

void TestMainWindow::statusBarToggleHidesProgressAndGrowsView()
{
    TempIni ini(kBase);
    frmMain *w = openWindow();
    QAction *item = w->menuAction(QStringLiteral("mnuViewStatusBar"));
    emit w->Browser->ProgressChange(10, 100);
    QVERIFY(w->ProgressBar->isVisible());
    const float before = w->layoutGeometry().browserHeight;
    const float listBefore = w->layoutGeometry().listHeight;

    item->trigger();
    QVERIFY(!item->isChecked());
    QVERIFY(!w->StatusBar->isVisible());
    QVERIFY(!w->ProgressBar->isVisible());
    QCOMPARE(w->layoutGeometry().browserHeight - before, 425.f);
    QCOMPARE(w->layoutGeometry().listHeight - listBefore, 425.f);

    item->trigger();
    QVERIFY(item->isChecked() && w->StatusBar->isVisible());
    QVERIFY(!w->ProgressBar->isVisible()); // until the next report
    emit w->Browser->ProgressChange(20, 100);
    QVERIFY(w->ProgressBar->isVisible());
    // The view never reaches into the status bar.
    QVERIFY(w->Browser->widget()->geometry().bottom() < w->StatusBar->geometry().top());
}

void TestMainWindow::pageEventsReachStatusCaptionAndProgress()
{
    TempIni ini(kBase);
    frmMain *w = openWindow();
    emit w->Browser->StatusTextChange(QStringLiteral("http://127.0.0.1:1/link"));
    QCOMPARE(w->StatusBar->panelText(1), QStringLiteral("http://127.0.0.1:1/link"));
    emit w->Browser->StatusTextChange(QString());
    QCOMPARE(w->StatusBar->panelText(1), QString());

    emit w->Browser->TitleChange(QStringLiteral("News"));
    QCOMPARE(w->windowTitle(), QStringLiteral("News - Kestrel"));
    emit w->Browser->TitleChange(QString());
    QCOMPARE(w->windowTitle(), QStringLiteral(" - Kestrel"));
    emit w->Browser->TitleChange(QString(1000000, QLatin1Char('x')));
    QVERIFY(w->windowTitle().size() < 1100);
    QVERIFY(w->windowTitle().endsWith(QString::fromUtf8("x… - Kestrel")));

    emit w->Browser->ProgressChange(50, 200);
    QCOMPARE(w->progressState().value, 25.f);
    QCOMPARE(w->ProgressBar->value(), 25);
    QVERIFY(w->ProgressBar->isVisible());
    QVERIFY(overPanel2(w));
    emit w->Browser->ProgressChange(300, 200);
    QCOMPARE(w->progressState().value, 25.f);
    emit w->Browser->ProgressChange(-1, 0);
    QCOMPARE(w->progressState().value, 100.f);
    QVERIFY(!w->ProgressBar->isVisible());
}

void TestMainWindow::progressLeftAloneWhileStatusBarHidden()
{
    TempIni ini(kBase);
    frmMain *w = openWindow();
    emit w->Browser->ProgressChange(-1, 0);
    w->menuAction(QStringLiteral("mnuViewStatusBar"))->trigger();
    emit w->Browser->ProgressChange(10, 100);
    QCOMPARE(w->progressState().value, 100.f);
    QVERIFY(!w->ProgressBar->isVisible());
}

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
