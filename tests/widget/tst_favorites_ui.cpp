#include "WidgetTestSupport.h"

#include "favorites/FavoritesPanel.h"
#include "favorites/frmFavAdd.h"
#include "favorites/frmFavEdit.h"
#include "settings/Settings.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {
const QByteArray kThree = "[Settings]\r\n[Favorites]\r\nNumber=3\r\n"
                          "[0]\r\nName=News\r\nURL=about:blank\r\n"
                          "[1]\r\nName=Mail\r\nURL=http://127.0.0.1:1/mail\r\n"
                          "[2]\r\nName=Maps\r\nURL=http://127.0.0.1:1/maps\r\n";

QStringList entries(const frmMain *w)
{
    QStringList out;
    for (int i = 0; i < w->lstFavs->count(); ++i)
        out << w->lstFavs->item(i)->text();
    return out;
}

void select(frmMain *w, int row)
{
    w->lstFavs->setCurrentRow(row);
}
} // namespace

class TestFavoritesUi : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { useFakeViews(); }
    void cleanup() { closeAllWindows(); }

    void emptyStoreShowsDisabledEntry();
    void addStoresThePageAsShown();
    void addDialogRefillsOnActivation();
    void editKeepsPositionAndWritesTheEntryItWasOpenedFor();
    void deletePromptAndAnswers();
    void cancelAndCloseBoxStoreNothing();
    void noSelectionDoesNothing();
    void closingTheServedWindowClosesItsDialog();
};

void TestFavoritesUi::emptyStoreShowsDisabledEntry()
{
    TempIni ini("[Favorites]\r\nNumber=0\r\n");
    frmMain *w = CreateMainWindow();
    QCOMPARE(entries(w), QStringList{QStringLiteral("No Favorites Added")});
    QVERIFY(!w->lstFavs->isEnabled());
    QCOMPARE(selectedFavorite(w), -1);
    delete w;
}

void TestFavoritesUi::addStoresThePageAsShown()
{
    TempIni ini("[Favorites]\r\nNumber=0\r\n");
    frmMain *w = openWindow();
    fakeOf(w)->location = QStringLiteral("http://127.0.0.1:1/page");
    fakeOf(w)->title = QString::fromUtf8("Страница – Page");
    QTest::mouseClick(w->cmdFavAdd, Qt::LeftButton);
    frmFavAdd *dlg = frmFavAdd::instance();
    QVERIFY(dlg && dlg->isVisible());
    QCOMPARE(dlg->txtURL->text(), QStringLiteral("http://127.0.0.1:1/page"));
    QCOMPARE(dlg->txtName->text(), QString::fromUtf8("Страница – Page"));
    QTest::mouseClick(dlg->cmdAction, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!frmFavAdd::instance());
    QCOMPARE(entries(w), QStringList{QString::fromUtf8("Страница – Page")});
    QVERIFY(w->lstFavs->isEnabled());
    QCOMPARE(ReadIniValue(QStringLiteral("0"), QStringLiteral("URL")), QStringLiteral("http://127.0.0.1:1/page"));

    // A window with nothing loaded: both boxes empty, stored as they are.
    fakeOf(w)->location.clear();
    fakeOf(w)->title.clear();
    frmFavAdd::showFor(w)->cmdAdd_Click();
    QCOMPARE(ReadIniValue(QStringLiteral("Favorites"), QStringLiteral("Number")), QStringLiteral("2"));
    QCOMPARE(entries(w), (QStringList{QString::fromUtf8("Страница – Page"), QString()}));
}

void TestFavoritesUi::addDialogRefillsOnActivation()
{
    TempIni ini("[Favorites]\r\nNumber=0\r\n");
    frmMain *w = openWindow();
    fakeOf(w)->location = QStringLiteral("http://127.0.0.1:1/first");
    frmFavAdd *dlg = frmFavAdd::showFor(w);
    dlg->txtName->setText(QStringLiteral("typed"));
    fakeOf(w)->location = QStringLiteral("http://127.0.0.1:1/second");
    fakeOf(w)->title = QStringLiteral("Second");
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(dlg, &activate);
    QCOMPARE(dlg->txtURL->text(), QStringLiteral("http://127.0.0.1:1/second"));
    QCOMPARE(dlg->txtName->text(), QStringLiteral("Second"));
    // Add Favorite again: the same dialog, refilled.
    fakeOf(w)->title = QStringLiteral("Third");
    QCOMPARE(frmFavAdd::showFor(w), dlg);
    QCOMPARE(dlg->txtName->text(), QStringLiteral("Third"));
}

void TestFavoritesUi::editKeepsPositionAndWritesTheEntryItWasOpenedFor()
{
    TempIni ini(kThree);
    frmMain *w = openWindow();
    select(w, 1);
    QTest::mouseClick(w->cmdFavEdit, Qt::LeftButton);
    frmFavEdit *dlg = frmFavEdit::instance();
    QVERIFY(dlg);
    QCOMPARE(dlg->txtName->text(), QStringLiteral("Mail"));
    QCOMPARE(dlg->txtURL->text(), QStringLiteral("http://127.0.0.1:1/mail"));
    dlg->txtName->setText(QStringLiteral("Post"));
    // Opening again keeps what is typed.
    select(w, 2);
    QCOMPARE(frmFavEdit::showFor(w), dlg);
    QCOMPARE(dlg->txtName->text(), QStringLiteral("Post"));
    // Apply writes to the entry it was opened for, not the one selected now.
    QTest::mouseClick(dlg->cmdAction, Qt::LeftButton);
    QCOMPARE(entries(w)[1], QStringLiteral("Post"));
    QCOMPARE(ReadIniValue(QStringLiteral("1"), QStringLiteral("URL")), QStringLiteral("http://127.0.0.1:1/mail"));
    QCOMPARE(ReadIniValue(QStringLiteral("Favorites"), QStringLiteral("Number")), QStringLiteral("3"));
}

void TestFavoritesUi::deletePromptAndAnswers()
{
    TempIni ini(kThree);
    frmMain *w = openWindow();
    select(w, 0);
    MessageBoxAnswer no;
    no.arm(QMessageBox::No);
    QTest::mouseClick(w->cmdFavDelete, Qt::LeftButton);
    QVERIFY(no.seen);
    QCOMPARE(no.title, QStringLiteral("Delete Favorite"));
    QCOMPARE(no.text, QStringLiteral("Delete News [about:blank]?"));
    QVERIFY(no.defaultIsYes);
    QVERIFY(no.noIcon);
    QCOMPARE(ini.bytes(), kThree);

    select(w, 0);
    MessageBoxAnswer yes;
    yes.arm(QMessageBox::Yes);
    QTest::mouseClick(w->cmdFavDelete, Qt::LeftButton);
    QVERIFY(yes.seen);
    QCOMPARE(entries(w), (QStringList{"Mail", "Maps"}));
    QCOMPARE(ReadIniValue(QStringLiteral("2"), QStringLiteral("Name")), QStringLiteral("Maps"));
    QCOMPARE(selectedFavorite(w), -1);
}

void TestFavoritesUi::cancelAndCloseBoxStoreNothing()
{
    TempIni ini(kThree);
    frmMain *w = openWindow();
    fakeOf(w)->location = QStringLiteral("http://127.0.0.1:1/x");
    QTest::mouseClick(frmFavAdd::showFor(w)->cmdCancel, Qt::LeftButton);
    frmFavAdd::showFor(w)->close();
    select(w, 1);
    frmFavEdit *edit = frmFavEdit::showFor(w);
    edit->txtName->setText(QStringLiteral("changed"));
    edit->close();
    select(w, 1);
    frmFavEdit::showFor(w)->cmdCancel->click();
    QCOMPARE(ini.bytes(), kThree);
    QCOMPARE(selectedFavorite(w), 1);
}

void TestFavoritesUi::noSelectionDoesNothing()
{
    TempIni ini(kThree);
    frmMain *w = openWindow();
    QCOMPARE(selectedFavorite(w), -1);
    w->cmdFavDelete->click(); // would block on a prompt if one showed
    w->cmdFavEdit->click();
    QVERIFY(!frmFavEdit::instance());
    emit w->lstFavs->itemDoubleClicked(w->lstFavs->item(0));
    QVERIFY(fakeOf(w)->calls.isEmpty());
    QCOMPARE(ini.bytes(), kThree);

    TempIni empty("[Favorites]\r\nNumber=0\r\n");
    RefreshFavoritesList();
    w->lstFavs->setCurrentRow(0);
    w->cmdFavDelete->click();
    QCOMPARE(empty.bytes(), QByteArray("[Favorites]\r\nNumber=0\r\n"));
}

void TestFavoritesUi::closingTheServedWindowClosesItsDialog()
{
    TempIni ini(kThree);
    frmMain *w = openWindow();
    select(w, 0);
    QPointer<frmFavEdit> edit = frmFavEdit::showFor(w);
    QPointer<frmFavAdd> add = frmFavAdd::showFor(w);
    edit->txtName->setText(QStringLiteral("unsaved"));
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!edit || !edit->isVisible());
    QVERIFY(!add || !add->isVisible());
    QCOMPARE(ini.bytes(), kThree);
}

QTEST_MAIN(TestFavoritesUi)
#include "tst_favorites_ui.moc"
