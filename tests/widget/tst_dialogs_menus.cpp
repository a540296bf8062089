#include "WidgetTestSupport.h"

#include "browser/AddressBox.h"
#include "dialogs/frmAbout.h"
#include "dialogs/frmPreferences.h"
#include "settings/Settings.h"

#include <QAction>
#include <QCheckBox>
#include <QFileDialog>
#include <QRadioButton>
#include <QTabWidget>

class TestDialogsMenus : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { useFakeViews(); }
    void cleanup() { closeAllWindows(); }

    void preferencesShowStoredValuesWithoutWriting();
    void preferencesStoreEachClick();
    void preferencesAreOneDialogForAllWindows();
    void aboutBoxTextsAndLogo();
    void textSizeMovesTheSingleCheckMark();
    void saveNeedsALoadedPage();
    void openCancelledLoadsNothing();
    void openLoadsTheChosenFile();
    void viewSourceInTheSameView();
    void pageCommandsGoToTheView();
    void findOpensTheViewsFindBar();
};

void TestDialogsMenus::preferencesShowStoredValuesWithoutWriting()
{
    const QByteArray file = "[Settings]\r\nStartUp=Blank\r\nDoStartup=True\r\nConfirmExit=true\r\n"
                            "PopUp=Reject\r\nSupressErrors=False\r\n";
    TempIni ini(file);
    frmPreferences::showShared();
    frmPreferences *p = frmPreferences::instance();
    QCOMPARE(p->windowTitle(), QStringLiteral("Preferences"));
    QCOMPARE(p->Tabs->tabText(0), QStringLiteral("Start And Exit"));
    QCOMPARE(p->Tabs->tabText(1), QStringLiteral("Pop-Ups/Errors"));
    QCOMPARE(p->Tabs->currentIndex(), 0);
    QVERIFY(p->optStartBlank->isChecked());
    QVERIFY(!p->optStartHome->isChecked() && !p->optStartContinue->isChecked());
    QVERIFY(p->chkShowDialog->isChecked());
    QVERIFY(!p->chkConfirmExit->isChecked()); // lower case selects nothing
    QVERIFY(p->optPopUpsReject->isChecked());
    QVERIFY(!p->chkSupressErrors->isChecked());
    QVERIFY(p->optStartContinue->isEnabled());
    QCOMPARE(ini.bytes(), file);
    p->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!frmPreferences::instance());

    TempIni none(QByteArray(), false);
    frmPreferences::showShared();
    p = frmPreferences::instance();
    for (QRadioButton *o : {p->optStartContinue, p->optStartHome, p->optStartBlank, p->optPopUpsAccept, p->optPopUpsReject})
        QVERIFY(!o->isChecked());
    QVERIFY(!QFile::exists(none.path));
}

void TestDialogsMenus::preferencesStoreEachClick()
{
    TempIni ini("[Settings]\r\nStartUp=Home\r\n");
    frmPreferences::showShared();
    frmPreferences *p = frmPreferences::instance();
    auto value = [](const char *key) { return ReadIniValue(QStringLiteral("Settings"), QString::fromLatin1(key)); };

    p->chkShowDialog->click();
    QCOMPARE(value("DoStartup"), QStringLiteral("True"));
    p->chkShowDialog->click();
    QCOMPARE(value("DoStartup"), QStringLiteral("False"));
    p->optPopUpsReject->click();
    QCOMPARE(value("PopUp"), QStringLiteral("Reject"));
    QVERIFY(p->optStartHome->isChecked()); // the other group is untouched
    p->optStartBlank->click();
    QCOMPARE(value("Startup"), QStringLiteral("Blank"));
    QVERIFY(!p->optStartHome->isChecked());
    p->chkConfirmExit->click();
    QCOMPARE(value("ConfirmExit"), QStringLiteral("True"));
    p->chkSupressErrors->click();
    QCOMPARE(value("SupressErrors"), QStringLiteral("True"));
    p->optPopUpsAccept->click();
    QCOMPARE(value("PopUp"), QStringLiteral("Accept"));
    p->optStartContinue->click();
    QCOMPARE(value("StartUp"), QStringLiteral("Continue"));
    // One entry for the start mode, however it is spelled.
    QCOMPARE(ini.bytes().count("tartUp="), 1);
    const QByteArray before = ini.bytes();
    p->OKButton->click();
    QCOMPARE(ini.bytes(), before);
}

void TestDialogsMenus::preferencesAreOneDialogForAllWindows()
{
    TempIni ini("[Settings]\r\n");
    frmMain *a = CreateMainWindow();
    frmMain *b = CreateMainWindow();
    a->menuAction(QStringLiteral("mnuFilePreferences"))->trigger();
    frmPreferences *first = frmPreferences::instance();
    b->menuAction(QStringLiteral("mnuFilePreferences"))->trigger();
    QCOMPARE(frmPreferences::instance(), first);
    int count = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        count += qobject_cast<frmPreferences *>(w) && w->isVisible();
    QCOMPARE(count, 1);
    // The dialog outlives the windows.
    delete a;
    delete b;
    QVERIFY(first->isVisible());
}

void TestDialogsMenus::aboutBoxTextsAndLogo()
{
    frmAbout::showShared();
    frmAbout *about = frmAbout::instance();
    QCOMPARE(about->windowTitle(), QStringLiteral("About Kestrel"));
    QCOMPARE(about->lblTitle->text(), QStringLiteral("Kestrel"));
    QCOMPARE(about->lblVersion->text(), QStringLiteral("Version 1.0.0"));
    QCOMPARE(about->picLogo->pixmap().size(), QSize(63, 56));
    QCOMPARE(about->picLogo->size(), QSize(63, 56));
    QVERIFY(about->cmdOK->isDefault());
    const QString quote = about->lblDisclaimer->text();
    QVERIFY(quote.startsWith(QLatin1Char('"')));
    QVERIFY(quote.contains(QStringLiteral("\"      - ")));
    QVERIFY(about->lblDescription->text().contains(QStringLiteral("freeware")));
    frmAbout::showShared();
    QCOMPARE(frmAbout::instance(), about);
    QTest::keyClick(about, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!frmAbout::instance() || !frmAbout::instance()->isVisible());
}

void TestDialogsMenus::textSizeMovesTheSingleCheckMark()
{
    TempIni ini("[Settings]\r\n");
    frmMain *w = CreateMainWindow();
    QCOMPARE(w->textSizeIndex(), 2);
    QList<QAction *> items = w->findChildren<QAction *>(QStringLiteral("mnuViewTextSize"));
    QCOMPARE(items.size(), 5);
    items[4]->trigger();
    QCOMPARE(w->textSizeIndex(), 4);
    int checked = 0;
    for (QAction *a : items)
        checked += a->isChecked();
    QCOMPARE(checked, 1);
    items[4]->trigger(); // already marked: stays marked, same level again
    QCOMPARE(w->textSizeIndex(), 4);
    QCOMPARE(fakeOf(w)->calls, (QStringList{"ExecWB:19:0:4", "ExecWB:19:0:4"}));
    items[0]->trigger();
    QCOMPARE(fakeOf(w)->calls.last(), QStringLiteral("ExecWB:19:0:0"));
    QCOMPARE(CreateMainWindow()->textSizeIndex(), 2);
}

void TestDialogsMenus::saveNeedsALoadedPage()
{
    TempIni ini("[Settings]\r\n");
    frmMain *w = CreateMainWindow();
    w->menuAction(QStringLiteral("mnuFileSave"))->trigger();
    QVERIFY(fakeOf(w)->calls.isEmpty());
    fakeOf(w)->location = QStringLiteral("about:blank");
    w->menuAction(QStringLiteral("mnuFileSave"))->trigger();
    QCOMPARE(fakeOf(w)->calls, QStringList{QStringLiteral("ExecWB:4:1:")});
}

void TestDialogsMenus::openCancelledLoadsNothing()
{
    TempIni ini("[Settings]\r\n");
    frmMain *w = CreateMainWindow();
    w->show();
    QTimer::singleShot(0, w, [w] {
        QFileDialog *d = w->Dialog();
        QCOMPARE(d->windowTitle(), QStringLiteral("Open"));
        QCOMPARE(d->nameFilters().size(), 2);
        QCOMPARE(d->nameFilters().first(), QStringLiteral("Web Pages (*.htm *.html)"));
        QCOMPARE(d->selectedNameFilter(), d->nameFilters().first());
        d->reject();
    });
    w->mnuFileOpen_Click();
    QVERIFY(fakeOf(w)->calls.isEmpty());
}

void TestDialogsMenus::openLoadsTheChosenFile()
{
    TempIni ini("[Settings]\r\n");
    const QString page = ini.dir.path() + QStringLiteral("/page.html");
    QFile f(page);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("<title>x</title>");
    f.close();
    frmMain *w = CreateMainWindow();
    w->show();
    QTimer::singleShot(0, w, [w, page] {
        w->Dialog()->selectFile(page);
        QMetaObject::invokeMethod(w->Dialog(), "accept");
    });
    w->mnuFileOpen_Click();
    QCOMPARE(fakeOf(w)->calls, QStringList{QStringLiteral("Navigate:") + page});
}

void TestDialogsMenus::viewSourceInTheSameView()
{
    TempIni ini("[Settings]\r\n");
    frmMain *w = CreateMainWindow();
    w->menuAction(QStringLiteral("mnuViewSource"))->trigger();
    QCOMPARE(fakeOf(w)->calls.last(), QStringLiteral("Navigate2:view-source::0"));
    fakeOf(w)->location = QStringLiteral("http://127.0.0.1:1/a");
    w->menuAction(QStringLiteral("mnuViewSource"))->trigger();
    QCOMPARE(fakeOf(w)->calls.last(), QStringLiteral("Navigate2:view-source:http://127.0.0.1:1/a:0"));
}

void TestDialogsMenus::pageCommandsGoToTheView()
{
    TempIni ini("[Settings]\r\n");
    frmMain *w = CreateMainWindow();
    const QList<QPair<const char *, int>> commands = {
        {"mnuFilePageSetup", 8}, {"mnuFilePrint", 6}, {"mnuFilePrintPreview", 7}, {"mnuFileProperties", 10},
        {"mnuEditUndo", 15}, {"mnuEditRedo", 16}, {"mnuEditCut", 11}, {"mnuEditCopy", 12},
        {"mnuEditPaste", 13}, {"mnuEditSelectAll", 17}, {"mnuEditSelectNone", 18}};
    for (const auto &[name, id] : commands) {
        w->menuAction(QString::fromLatin1(name))->trigger();
        QCOMPARE(fakeOf(w)->calls.last(), QStringLiteral("ExecWB:%1:0:").arg(id));
    }
}

void TestDialogsMenus::findOpensTheViewsFindBar()
{
    TempIni ini("[Settings]\r\n");
    frmMain *w = CreateMainWindow();
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    w->cboURL->setFocus();
    QTest::keyClick(w->cboURL, Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(fakeOf(w)->calls, QStringList{QStringLiteral("showFind")});
}

QTEST_MAIN(TestDialogsMenus)
#include "tst_dialogs_menus.moc"
