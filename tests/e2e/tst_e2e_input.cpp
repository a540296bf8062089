#include "EngineTest.h"

#include "favorites/FavoritesStore.h"
#include "settings/Settings.h"
#include "window/StatusPanels.h"

#include <QAbstractItemView>
#include <QLabel>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QWebEngineView>

#include <numeric>

// A user's keyboard and mouse on the program's own controls: the address box,
// favorites and the find bar. Every key and click goes through the X server
// to wherever Qt has put the focus, and every check is what the user sees
// (captions, pixels) or what leaves the program (the server's log, the
// settings file).
class TestUserInput : public EngineTest
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        for (const char *name : {"alpha", "beta", "gamma", "edit"}) {
            const QByteArray title = QByteArray(name).left(1).toUpper() + QByteArray(name).mid(1);
            server.page(QStringLiteral("/%1.html").arg(QLatin1String(name)),
                        "<title>" + title + "</title><body><p>A kestrel hovers over the field.</p></body>");
        }
    }

    void typedAddressLoadsReadablyAndPlaceholderFollowsTheFocus();
    void completionBackspaceAndEnter();
    void pickFromTheDropDownLoads();
    void aCompletionIsTypedOverOrAddedTo();
    void aListClosedWithoutAPickLoadsNothing();
    void theLastPageIsOneThatLoaded();
    void addressKeysSelectTheTextForTyping();
    void editingKeysEditTheBoxNotThePage();
    void favoritesByKeyboard();
    void findBarByKeyboard();
    // One settings file shared with other writers: another Kestrel, an editor.
    void listFollowsOtherWritersAndOpensWhatItShows();
    void failedAddIsToldAndTheDialogStays();
    void deleteFindsAFavoriteMovedWhileAsking();
    void editKeepsTheTypingWhenTheFavoriteChangesElsewhere();
    // The keys and the mouse buttons every browser shares.
    void typedWordsAreSearchedAndJoinTheList();
    void historyAndReloadByKeysAndMouseButtons();
    void escapeStopsALoadOnlyWhenNothingElseTakesIt();
    void windowKeysFullScreenExitAndClose();
    void favoritesAndLinksFromKeysAndThePageMenu();

private:
    QString url(const char *name) const { return server.url(QStringLiteral("/%1.html").arg(QLatin1String(name))); }
    int hits(const char *name) const { return server.hits(QStringLiteral("/%1.html").arg(QLatin1String(name))); }
    // Types a page's address into the focused box, presses `key` and waits for its caption.
    bool enter(const char *name, const char *key = "Return");
    // A new window on a page whose address the user typed into its box.
    QMainWindow *windowOnTyped(const char *name);
    // A window whose address box holds alpha then beta, typed as a user types them.
    QMainWindow *windowWithTwoTypedAddresses();
    // Ctrl+L, the text and Enter, in the focused window.
    static void typeInAddressBox(const QString &text)
    {
        User::key(QStringLiteral("ctrl+l"));
        User::type(text);
        User::key(QStringLiteral("Return"));
    }
};

namespace {

QComboBox *addressBox(QWidget *w)
{
    return w->findChild<QComboBox *>(QStringLiteral("cboURL"));
}

// The widget's pixels that differ clearly from its base colour, as the
// rightmost column holding one: how far its text reaches on screen.
int textReach(const QImage &image)
{
    const QColor base = QApplication::palette().color(QPalette::Base);
    int reach = -1;
    for (int y = 2; y < image.height() - 2; ++y) {
        for (int x = 2; x < image.width() - 2; ++x) {
            const QColor c = image.pixelColor(x, y);
            if (qAbs(c.red() - base.red()) + qAbs(c.green() - base.green()) + qAbs(c.blue() - base.blue()) > 150)
                reach = qMax(reach, x);
        }
    }
    return reach;
}

QStringList rows(const QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

int highlighted(const QImage &image)
{
    return User::count(image, QApplication::palette().color(QPalette::Highlight), 30);
}

} // namespace

bool TestUserInput::enter(const char *name, const char *key)
{
    User::type(url(name));
    User::key(QString::fromLatin1(key));
    const QByteArray title = QByteArray(name).left(1).toUpper() + QByteArray(name).mid(1);
    return User::waitForCaption(QString::fromLatin1(title + " - Kestrel"));
}

QMainWindow *TestUserInput::windowOnTyped(const char *name)
{
    QMainWindow *w = openWindow();
    if (!QTest::qWaitForWindowExposed(w))
        return nullptr;
    User::click(addressBox(w));
    return enter(name) ? w : nullptr;
}

QMainWindow *TestUserInput::windowWithTwoTypedAddresses()
{
    QMainWindow *w = windowOnTyped("alpha");
    User::key(QStringLiteral("ctrl+l"));
    // The keypad's Enter is Enter too.
    return w && enter("beta", "KP_Enter") ? w : nullptr;
}

// On a dark theme, so that typed text hard-coded black would not be seen.
void TestUserInput::typedAddressLoadsReadablyAndPlaceholderFollowsTheFocus()
{
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
    dark.setColor(QPalette::Text, QColor(0xf0, 0xf0, 0xf0));
    dark.setColor(QPalette::Window, QColor(0x30, 0x30, 0x30));
    QApplication::setPalette(dark);
    auto restore = qScopeGuard([light] { QApplication::setPalette(light); });
    QMainWindow *w = openWindow();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QLineEdit *edit = addressBox(w)->lineEdit();
    const QColor grey(0x80, 0x80, 0x80);
    QTRY_VERIFY(User::count(User::look(edit), grey, 40) > 20);

    User::click(edit);
    // Focus empties the box: no grey placeholder, no text.
    QTRY_COMPARE(User::count(User::look(edit), grey, 40), 0);
    QVERIFY(enter("alpha"));
    QCOMPARE(hits("alpha"), 1);
    QVERIFY(User::count(User::look(edit), QColor(0xf0, 0xf0, 0xf0), 40) > 20);

    // Leaving an emptied box brings the placeholder back.
    User::key(QStringLiteral("ctrl+a BackSpace"));
    User::click(w->findChild<QWidget *>(QStringLiteral("cmdSidebar")));
    QTRY_VERIFY(User::count(User::look(edit), grey, 40) > 20);
}

void TestUserInput::completionBackspaceAndEnter()
{
    QMainWindow *w = windowWithTwoTypedAddresses();
    QVERIFY(w);
    QLineEdit *edit = addressBox(w)->lineEdit();
    const int alphaHits = hits("alpha");
    const QString prefix = url("alpha").left(url("alpha").size() - 8); // ".../al"

    User::key(QStringLiteral("ctrl+l"));
    User::type(prefix);
    // The box completed to the listed address and highlighted the tail.
    QTRY_VERIFY(highlighted(User::look(edit)) > 30);
    const int completedReach = textReach(User::look(edit));

    User::key(QStringLiteral("BackSpace"));
    // Backspace took the tail away and nothing was completed again.
    QTRY_COMPARE(highlighted(User::look(edit)), 0);
    QVERIFY2(textReach(User::look(edit)) < completedReach - 20,
             qPrintable(QStringLiteral("%1 vs %2").arg(textReach(User::look(edit))).arg(completedReach)));

    // Enter completes again and loads the listed address.
    User::key(QStringLiteral("Return"));
    QVERIFY(User::waitForCaption(QStringLiteral("Alpha - Kestrel")));
    QCOMPARE(hits("alpha"), alphaHits + 1);
}

void TestUserInput::pickFromTheDropDownLoads()
{
    QMainWindow *w = windowWithTwoTypedAddresses();
    QVERIFY(w);
    QComboBox *box = addressBox(w);
    const int alphaHits = hits("alpha");

    // The arrow at the box's right end opens the list of typed addresses.
    User::click(box, QPoint(box->width() - 8, box->height() / 2));
    QAbstractItemView *list = box->view();
    QTRY_VERIFY(list->isVisible());
    // The list may slide open; aim once it stands still.
    QTest::qWait(QApplication::doubleClickInterval() + 300);
    User::click(list->viewport(), list->visualRect(list->model()->index(0, 0)).center());
    QVERIFY(User::waitForCaption(QStringLiteral("Alpha - Kestrel")));
    QCOMPARE(hits("alpha"), alphaHits + 1);

    // The keyboard way: the list opens on Alt+Down and Enter takes the row.
    User::key(QStringLiteral("alt+Down"));
    QTRY_VERIFY(list->isVisible());
    User::key(QStringLiteral("Down Return"));
    QVERIFY(User::waitForCaption(QStringLiteral("Beta - Kestrel")));

    // With the list closed, Up steps back through it and Enter loads the row.
    const int alphaAgain = hits("alpha");
    User::key(QStringLiteral("Up Return"));
    QVERIFY(User::waitForCaption(QStringLiteral("Alpha - Kestrel")));
    QCOMPARE(hits("alpha"), alphaAgain + 1);
}

// After a completion, the keys that select all or move the cursor work on
// the whole text: a new address replaces it, End adds to it.
void TestUserInput::aCompletionIsTypedOverOrAddedTo()
{
    QMainWindow *w = windowWithTwoTypedAddresses();
    QVERIFY(w);
    const QString alpha = url("alpha");
    const QString prefix = alpha.left(alpha.size() - 8); // ".../al"
    const int alphaHits = hits("alpha"), gammaHits = hits("gamma");
    User::key(QStringLiteral("ctrl+l"));
    User::type(prefix);
    QTRY_VERIFY(highlighted(User::look(addressBox(w)->lineEdit())) > 30);
    User::key(QStringLiteral("Return"));
    QVERIFY(User::waitForCaption(QStringLiteral("Alpha - Kestrel")));
    User::key(QStringLiteral("ctrl+l"));
    QVERIFY(enter("gamma"));
    QCOMPARE(hits("gamma"), gammaHits + 1);

    User::key(QStringLiteral("ctrl+l"));
    User::type(prefix);
    QTRY_VERIFY(highlighted(User::look(addressBox(w)->lineEdit())) > 30);
    User::key(QStringLiteral("End"));
    User::type(QStringLiteral("?more"));
    User::key(QStringLiteral("Return"));
    QTRY_COMPARE_WITH_TIMEOUT(server.requests.count(QStringLiteral("/alpha.html?more")), 1, 20000);
    QCOMPARE(hits("alpha"), alphaHits + 1);
    // Nothing was ever typed into the middle of an address.
    QCOMPARE(server.requests.filter(QStringLiteral("http")).size(), 0);
}

// Opening the list and closing it with Escape is no choice: typing that
// completes an address fills the box, and only Enter loads.
void TestUserInput::aListClosedWithoutAPickLoadsNothing()
{
    QMainWindow *w = windowWithTwoTypedAddresses();
    QVERIFY(w);
    QComboBox *box = addressBox(w);
    const int requests = int(server.requests.size());
    User::key(QStringLiteral("alt+Down"));
    QTRY_VERIFY(box->view()->isVisible());
    User::key(QStringLiteral("Escape"));
    QTRY_VERIFY(!box->view()->isVisible());
    User::key(QStringLiteral("ctrl+l"));
    User::type(url("alpha").left(10));
    QTRY_VERIFY(highlighted(User::look(box->lineEdit())) > 30);
    QTest::qWait(1000);
    QCOMPARE(server.requests.size(), requests);
    QCOMPARE(w->windowTitle(), QStringLiteral("Beta - Kestrel"));
    User::key(QStringLiteral("Return"));
    QTRY_COMPARE_WITH_TIMEOUT(server.requests.size(), requests + 1, 20000);
}

// Continue starts on the last page that came, at an address's length: not
// on an error, nor on a link a page made a megabyte long.
void TestUserInput::theLastPageIsOneThatLoaded()
{
    auto lastUrl = [] { return readIniValue(QStringLiteral("Settings"), QStringLiteral("LastURL")); };
    QTcpServer closed; // a port known to be free, then closed again
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const QString refused = QStringLiteral("http://127.0.0.1:%1/gone.html").arg(closed.serverPort());
    closed.close();
    const QByteArray longLink = "/beta.html?" + QByteArray(200000, 'x');
    server.page(QStringLiteral("/long.html"), "<title>Long</title><body style='margin:0'><a href='" + longLink
                    + "' style='display:block;width:100vw;height:100vh'>a long link</a>");
    server.page(QString::fromLatin1(longLink), "<title>Far</title>");

    QMainWindow *w = windowOnTyped("alpha");
    QVERIFY(w);
    QTRY_COMPARE_WITH_TIMEOUT(lastUrl(), url("alpha"), 10000);
    User::key(QStringLiteral("ctrl+l"));
    User::type(refused);
    User::key(QStringLiteral("Return"));
    QTRY_VERIFY_WITH_TIMEOUT(control<StatusPanels>(w, "StatusBar")->panelText(1).contains(QStringLiteral("refused")), 20000);
    QTest::qWait(1000); // the last address is written in the background
    QCOMPARE(lastUrl(), url("alpha"));
    User::key(QStringLiteral("ctrl+l"));
    User::type(server.url(QStringLiteral("/long.html")));
    User::key(QStringLiteral("Return"));
    QVERIFY(User::waitForCaption(QStringLiteral("Long - Kestrel")));
    QTRY_COMPARE_WITH_TIMEOUT(lastUrl(), server.url(QStringLiteral("/long.html")), 10000);
    User::click(w->findChild<QWebEngineView *>());
    QVERIFY(User::waitForCaption(QStringLiteral("Far - Kestrel")));
    QTest::qWait(1000); // the last address is written in the background
    QCOMPARE(lastUrl(), server.url(QStringLiteral("/long.html")));
}

void TestUserInput::addressKeysSelectTheTextForTyping()
{
    QMainWindow *w = windowWithTwoTypedAddresses();
    QVERIFY(w);
    auto *view = w->findChild<QWebEngineView *>();
    QVERIFY(view);
    int expected = hits("gamma");
    for (const char *keys : {"ctrl+l", "alt+d", "F6"}) {
        // From the page, where a user's focus usually is.
        User::click(view->focusProxy() ? view->focusProxy() : view);
        User::key(QString::fromLatin1(keys));
        QVERIFY2(enter("gamma"), keys);
        QCOMPARE(hits("gamma"), ++expected);
        User::key(QStringLiteral("ctrl+l"));
        QVERIFY(enter("beta"));
    }
    // The old text was replaced each time, never added to.
    QCOMPARE(server.requests.filter(QStringLiteral("html")).filter(QStringLiteral("http")).size(), 0);
}

void TestUserInput::editingKeysEditTheBoxNotThePage()
{
    QMainWindow *w = openWindow();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    User::click(addressBox(w));
    User::type(url("edit"));
    // Cut empties the box, paste brings the text back, undo takes the paste
    // away and redo (Ctrl+Y, whatever the platform binds it to) restores it.
    User::key(QStringLiteral("ctrl+a ctrl+x"));
    User::key(QStringLiteral("ctrl+v ctrl+z ctrl+y"));
    User::key(QStringLiteral("Return"));
    QVERIFY(User::waitForCaption(QStringLiteral("Edit - Kestrel")));
    QCOMPARE(hits("edit"), 1);
    // Copy leaves the box as it is.
    User::key(QStringLiteral("ctrl+l ctrl+c End"));
    User::type(QStringLiteral("?again"));
    User::key(QStringLiteral("Return"));
    QTRY_COMPARE(server.requests.count(QStringLiteral("/edit.html?again")), 1);
}

void TestUserInput::favoritesByKeyboard()
{
    QMainWindow *w = windowOnTyped("alpha");
    QVERIFY(w);

    // View > Sidebar by its access keys, then Add Favorite.
    User::key(QStringLiteral("alt+v b"));
    auto *add = w->findChild<QPushButton *>(QStringLiteral("cmdFavAdd"));
    QTRY_VERIFY(add->isVisible());
    // In the dialog with this caption, the name typed anew and Enter.
    auto name = [](const QString &caption, const char *dialogName, const QString &typed) {
        QWidget *dialog = nullptr;
        QVERIFY(User::waitForCaption(caption));
        QTRY_VERIFY((dialog = shown<QWidget>(QString::fromLatin1(dialogName))));
        User::click(dialog->findChild<QLineEdit *>(QStringLiteral("txtName")));
        User::key(QStringLiteral("ctrl+a"));
        User::type(typed);
        User::key(QStringLiteral("Return"));
        QTRY_VERIFY(!User::captions().contains(caption));
    };
    User::click(add);
    name(QStringLiteral("Add Favorite"), "frmFavAdd", QStringLiteral("My Kestrel"));
    QVERIFY(ini->bytes().contains("Name=My Kestrel"));
    QVERIFY(ini->bytes().contains("URL=" + url("alpha").toUtf8()));

    // Edit it: pick the row, Edit Favorite, a new name, Enter.
    auto *list = w->findChild<QListWidget *>(QStringLiteral("lstFavs"));
    QTRY_COMPARE(list->count(), 1);
    User::click(list->viewport(), list->visualItemRect(list->item(0)).center());
    User::click(w->findChild<QPushButton *>(QStringLiteral("cmdFavEdit")));
    name(QStringLiteral("Edit Favorite"), "frmFavEdit", QStringLiteral("Renamed"));
    QVERIFY(ini->bytes().contains("Name=Renamed"));
    QVERIFY(!ini->bytes().contains("My Kestrel"));
}

void TestUserInput::findBarByKeyboard()
{
    QMainWindow *w = windowOnTyped("alpha");
    QVERIFY(w);
    auto *view = w->findChild<QWebEngineView *>();
    // The engine marks the match it shows in orange.
    const QColor match(0xff, 0x96, 0x32);
    QTRY_VERIFY(User::count(User::look(view), QColor(0, 0, 0), 60) > 50);
    QCOMPARE(User::count(User::look(view), match, 40), 0);

    User::click(view->focusProxy() ? view->focusProxy() : view);
    User::key(QStringLiteral("ctrl+f"));
    User::type(QStringLiteral("hovers"));
    User::key(QStringLiteral("Return"));
    QTRY_VERIFY_WITH_TIMEOUT(User::count(User::look(view), match, 40) > 30, 10000);
    QCOMPARE(w->findChild<QLabel *>(QStringLiteral("findStatus"))->text(), QStringLiteral("1 of 1"));

    User::key(QStringLiteral("ctrl+a"));
    User::type(QStringLiteral("falcon"));
    User::key(QStringLiteral("Return"));
    QTRY_COMPARE_WITH_TIMEOUT(User::count(User::look(view), match, 40), 0, 10000);
    QTRY_COMPARE(w->findChild<QLabel *>(QStringLiteral("findStatus"))->text(), QStringLiteral("Not found"));

    User::key(QStringLiteral("ctrl+a"));
    User::type(QStringLiteral("kestrel"));
    QTRY_VERIFY_WITH_TIMEOUT(User::count(User::look(view), match, 40) > 30, 10000);
    User::key(QStringLiteral("Escape"));
    QTRY_VERIFY(!w->findChild<QLineEdit *>(QStringLiteral("findText"))->isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(User::count(User::look(view), match, 40), 0, 10000);

    // F3 steps through the matches (in "kestrel", "hovers" and "over"), Shift+F3 back.
    auto *status = w->findChild<QLabel *>(QStringLiteral("findStatus"));
    User::key(QStringLiteral("ctrl+f"));
    User::type(QStringLiteral("r"));
    QTRY_COMPARE_WITH_TIMEOUT(status->text(), QStringLiteral("1 of 3"), 10000);
    User::key(QStringLiteral("F3"));
    QTRY_COMPARE_WITH_TIMEOUT(status->text(), QStringLiteral("2 of 3"), 10000);
    User::key(QStringLiteral("shift+F3"));
    QTRY_COMPARE_WITH_TIMEOUT(status->text(), QStringLiteral("1 of 3"), 10000);
}

void TestUserInput::listFollowsOtherWritersAndOpensWhatItShows()
{
    for (const char *n : {"F1", "F2", "F3"})
        server.page(QStringLiteral("/%1.html").arg(QLatin1String(n)), "<title>" + QByteArray(n) + " Page</title>");
    auto fav = [&](int i, const char *name) {
        return "[" + QByteArray::number(i) + "]\nName=" + name + "\nURL="
               + server.url(QStringLiteral("/%1.html").arg(QLatin1String(name))).toUtf8() + "\n";
    };
    ini->write("[Settings]\nDoStartup=False\nStartup=Blank\n[Favorites]\nNumber=0\n");
    MainWindow *w = openWindow();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    User::click(control<QPushButton>(w, "cmdSidebar"));
    auto *list = control<QListWidget>(w, "lstFavs");
    QTRY_VERIFY(list->isVisible());
    QCOMPARE(rows(list), QStringList{QStringLiteral("No Favorites Added")});
    auto lastUrl = [] { return readIniValue(QStringLiteral("Settings"), QStringLiteral("LastURL")); };
    // The blank start page is stored first, so that what follows is what a user did.
    QTRY_COMPARE_WITH_TIMEOUT(lastUrl(), QStringLiteral("about:blank"), 10000);

    // Another writer replaces the file by a rename, twice: the list follows
    // within a second each time, and a double-click opens the favorite
    // whose name the row shows.
    const QList<QPair<QByteArray, QStringList>> versions = {
        {"[Favorites]\nNumber=2\n" + fav(0, "F1") + fav(1, "F2"), {"F1", "F2"}},
        {"[Favorites]\nNumber=2\n" + fav(0, "F3") + fav(1, "F1"), {"F3", "F1"}},
    };
    for (const auto &[content, expected] : versions) {
        const QString next = ini->dir.path() + QStringLiteral("/next.ini");
        QFile f(next);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(content) == content.size());
        f.close();
        QCOMPARE(QProcess::execute(QStringLiteral("mv"), {next, ini->path}), 0);
        QTRY_COMPARE_WITH_TIMEOUT(rows(list), expected, 1000);
        User::doubleClick(list->viewport(), list->visualItemRect(list->item(0)).center());
        QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), expected.first() + QStringLiteral(" Page - Kestrel"), 20000);
        // The page load stores its address; an editor that saves meanwhile,
        // without the lock, would lose to it, so the next one waits.
        QTRY_COMPARE_WITH_TIMEOUT(lastUrl(), server.url(QStringLiteral("/%1.html").arg(expected.first())), 10000);
    }
    QCOMPARE(server.hits(QStringLiteral("/F2.html")), 0);
}

void TestUserInput::failedAddIsToldAndTheDialogStays()
{
    const QByteArray content = "[Settings]\r\nDoStartup=False\r\nStartup=Blank\r\n[Favorites]\r\nNumber=0\r\n";
    ini->write(content);
    // Read-only by its mode bits: not written, even by root.
    QVERIFY(QFile::setPermissions(ini->path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    MainWindow *w = openWindow();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    User::click(control<QPushButton>(w, "cmdSidebar"));
    QTRY_VERIFY(control<QPushButton>(w, "cmdFavAdd")->isVisible());
    User::click(control<QPushButton>(w, "cmdFavAdd"));
    QDialog *dialog = nullptr;
    QTRY_VERIFY((dialog = shown<QDialog>(QStringLiteral("frmFavAdd"))));
    QVERIFY(QTest::qWaitForWindowExposed(dialog));

    // The message box waits for its OK in a loop of its own.
    QString told;
    UserSteps steps;
    steps.then([&] { return User::clickIf(dialog->findChild<QPushButton *>(QStringLiteral("cmdAdd"))); })
        .then([&] {
            auto *box = shown<QMessageBox>(QStringLiteral("SaveError"));
            // A key reaches the box once it has the keyboard.
            return box && box->isActiveWindow() && (told = box->text(), User::key(QStringLiteral("Return")), true);
        });
    QVERIFY2(steps.run(), qPrintable(steps.failure));
    QVERIFY2(told.contains(ini->path) && told.contains(QStringLiteral("read-only")), qPrintable(told));
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QVERIFY(dialog->isVisible());
    QCOMPARE(ini->bytes(), content);
}

namespace {

// A settings file with these favorites, each at http://<name>.test/.
QByteArray withFavorites(const QStringList &names)
{
    QByteArray text = "[Settings]\nDoStartup=False\nStartup=Blank\n[Favorites]\nNumber=" + QByteArray::number(names.size()) + "\n";
    for (int i = 0; i < names.size(); ++i)
        text += "[" + QByteArray::number(i) + "]\nName=" + names[i].toUtf8() + "\nURL=http://" + names[i].toUtf8() + ".test/\n";
    return text;
}

QStringList favoriteNames(const TempIni &ini)
{
    return FavoritesStore::names(IniDocument::fromBytes(ini.bytes()));
}

} // namespace

// Another program moves or deletes the favorite while the user is asked:
// the favorite the user confirmed is deleted where it is now, or the user
// is told that it is gone.
void TestUserInput::deleteFindsAFavoriteMovedWhileAsking()
{
    const QString f0 = QStringLiteral("F0"), f1 = QStringLiteral("F1"), f2 = QStringLiteral("F2"), f3 = QStringLiteral("F3");
    ini->write(withFavorites({f1, f2, f3}));
    MainWindow *w = openWindow();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    User::click(control<QPushButton>(w, "cmdSidebar"));
    auto *list = control<QListWidget>(w, "lstFavs");
    QTRY_COMPARE(rows(list), (QStringList{f1, f2, f3}));
    auto deleteRow = [&](int row, const QByteArray &meanwhile) {
        User::click(list->viewport(), list->visualItemRect(list->item(row)).center());
        UserSteps steps;
        steps.then([&] { return User::clickIf(control<QPushButton>(w, "cmdFavDelete")); })
            .then([&] {
                // A key reaches the question once it has the keyboard.
                auto *prompt = shown<QMessageBox>(QStringLiteral("DeletePrompt"));
                if (!prompt || !prompt->isActiveWindow())
                    return false;
                ini->write(meanwhile);
                User::key(QStringLiteral("Return"));
                return true;
            });
        return steps.run() ? QString() : steps.failure;
    };
    QCOMPARE(deleteRow(2, withFavorites({f0, f1, f2, f3})), QString());
    QTRY_COMPARE(favoriteNames(*ini), (QStringList{f0, f1, f2}));
    QTRY_COMPARE(rows(list), (QStringList{f0, f1, f2}));

    QCOMPARE(deleteRow(1, withFavorites({f0, f2})), QString());
    QMessageBox *gone = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((gone = shown<QMessageBox>(QStringLiteral("FavoriteGone"))), 10000);
    QVERIFY2(gone->text().contains(f1), qPrintable(gone->text()));
    QCOMPARE(favoriteNames(*ini), (QStringList{f0, f2}));
    User::click(gone->button(QMessageBox::Ok));
    QTRY_VERIFY(!shown<QMessageBox>(QStringLiteral("FavoriteGone")));
}

// The Edit dialog keeps what the user typed when another program renames or
// deletes its favorite, says so, and applies to the favorite where it is.
void TestUserInput::editKeepsTheTypingWhenTheFavoriteChangesElsewhere()
{
    const QString f1 = QStringLiteral("F1"), f2 = QStringLiteral("F2");
    ini->write(withFavorites({f1, f2}));
    MainWindow *w = openWindow();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    User::click(control<QPushButton>(w, "cmdSidebar"));
    auto *list = control<QListWidget>(w, "lstFavs");
    QTRY_COMPARE(rows(list), (QStringList{f1, f2}));
    // Opens Edit Favorite on a row and types a new name into it.
    auto editRow = [&](int row, const QString &typed) -> QDialog * {
        User::click(list->viewport(), list->visualItemRect(list->item(row)).center());
        User::click(control<QPushButton>(w, "cmdFavEdit"));
        QDialog *dialog = nullptr;
        if (!QTest::qWaitFor([&] { return (dialog = shown<QDialog>(QStringLiteral("frmFavEdit"))); }, 10000)
            || !QTest::qWaitForWindowExposed(dialog))
            return nullptr;
        User::click(dialog->findChild<QLineEdit *>(QStringLiteral("txtName")));
        User::key(QStringLiteral("ctrl+a"));
        User::type(typed);
        return dialog;
    };
    auto note = [](QDialog *d) {
        auto *label = d->findChild<QLabel *>(QStringLiteral("lblChanged"));
        return label && label->isVisible() ? label->text() : QString();
    };

    QDialog *dialog = editRow(1, QStringLiteral("Mine"));
    QVERIFY(dialog);
    QByteArray renamed = withFavorites({f1, f2});
    ini->write(renamed.replace("Name=F2", "Name=Renamed elsewhere"));
    QTRY_VERIFY_WITH_TIMEOUT(note(dialog).contains(QStringLiteral("Renamed elsewhere")), 10000);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->findChild<QLineEdit *>(QStringLiteral("txtName"))->text(), QStringLiteral("Mine"));
    User::key(QStringLiteral("Return"));
    QTRY_COMPARE(favoriteNames(*ini), (QStringList{f1, QStringLiteral("Mine")}));
    QVERIFY(ini->bytes().contains("URL=http://F2.test/"));

    dialog = editRow(0, QStringLiteral("Again"));
    QVERIFY(dialog);
    ini->write(withFavorites({QStringLiteral("Mine")}).replace("Mine.test", "F2.test"));
    QTRY_VERIFY_WITH_TIMEOUT(note(dialog).contains(QStringLiteral("deleted")), 10000);
    UserSteps steps;
    steps.then([] { return User::key(QStringLiteral("Return")), true; })
        .then([] {
            auto *prompt = shown<QMessageBox>(QStringLiteral("AddBackPrompt"));
            return prompt && prompt->isActiveWindow() && (User::key(QStringLiteral("Return")), true);
        });
    QVERIFY2(steps.run(), qPrintable(steps.failure));
    QTRY_COMPARE(favoriteNames(*ini), (QStringList{QStringLiteral("Mine"), QStringLiteral("Again")}));
    QVERIFY(ini->bytes().contains("URL=http://F1.test/"));
    QTRY_VERIFY(!shown<QDialog>(QStringLiteral("frmFavEdit")));
}

void TestUserInput::typedWordsAreSearchedAndJoinTheList()
{
    server.page(QStringLiteral("/search?q=hello+world"), "<title>Found</title>");
    server.page(QStringLiteral("/search?q=weather"), "<title>Weather</title>");
    ini->write("[Settings]\r\nSearchURL=" + server.url(QStringLiteral("/search?q=%s")).toUtf8() + "\r\n");
    QMainWindow *w = openWindow();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    User::click(addressBox(w));
    User::type(QStringLiteral("hello world"));
    User::key(QStringLiteral("Return"));
    QVERIFY(User::waitForCaption(QStringLiteral("Found - Kestrel")));
    // One word that names no server is searched for too.
    typeInAddressBox(QStringLiteral("weather"));
    QVERIFY(User::waitForCaption(QStringLiteral("Weather - Kestrel")));
    // The box lists the words as typed: they complete, and are searched again.
    typeInAddressBox(QStringLiteral("hel"));
    QTRY_COMPARE(server.hits(QStringLiteral("/search?q=hello+world")), 2);
}

void TestUserInput::historyAndReloadByKeysAndMouseButtons()
{
    QMainWindow *w = windowWithTwoTypedAddresses();
    QVERIFY(w);
    User::key(QStringLiteral("ctrl+l"));
    QVERIFY(enter("gamma"));
    // From the address box, where the focus stays after Enter.
    User::key(QStringLiteral("alt+Left"));
    QVERIFY(User::waitForCaption(QStringLiteral("Beta - Kestrel")));
    // The mouse's back button over the page goes one step back, no more.
    auto *view = w->findChild<QWebEngineView *>();
    User::click(view, QPoint(-1, -1), 8);
    QVERIFY(User::waitForCaption(QStringLiteral("Alpha - Kestrel")));
    User::click(view, QPoint(-1, -1), 9);
    QVERIFY(User::waitForCaption(QStringLiteral("Beta - Kestrel")));
    User::click(view);
    User::key(QStringLiteral("alt+Right"));
    QVERIFY(User::waitForCaption(QStringLiteral("Gamma - Kestrel")));

    // Reload, then past the cache: only then is the server asked not to answer from one.
    const int loads = hits("gamma");
    User::key(QStringLiteral("ctrl+r"));
    QTRY_COMPARE(hits("gamma"), loads + 1);
    QVERIFY(!server.heads.last().contains("no-cache"));
    User::key(QStringLiteral("ctrl+shift+r"));
    QTRY_COMPARE(hits("gamma"), loads + 2);
    QVERIFY2(server.heads.last().contains("Cache-Control: no-cache"), server.heads.last().constData());
    User::key(QStringLiteral("alt+Home"));
    QVERIFY(User::waitForCaption(QStringLiteral("Kestrel Start Page - Kestrel")));
}

void TestUserInput::escapeStopsALoadOnlyWhenNothingElseTakesIt()
{
    server.held << QStringLiteral("/slow.html");
    server.page(QStringLiteral("/field.html"), "<title>Field</title><input autofocus onkeydown=\"if (event.key == "
                                               "'Escape') document.title = 'Escape seen'\">");
    QMainWindow *w = windowOnTyped("alpha");
    QVERIFY(w);
    auto *status = control<QLabel>(w, "Panel1");
    typeInAddressBox(server.url(QStringLiteral("/slow.html")));
    QTRY_COMPARE(server.hits(QStringLiteral("/slow.html")), 1);
    // While the user types, Escape takes the typing back and the page loads on.
    User::type(QStringLiteral("/more"));
    User::key(QStringLiteral("Escape"));
    QTRY_COMPARE(addressBox(w)->lineEdit()->text(), server.url(QStringLiteral("/slow.html")));
    QTest::qWait(500);
    QVERIFY(status->text() != QLatin1String("Stopped"));
    User::key(QStringLiteral("Escape"));
    QTRY_COMPARE(status->text(), QStringLiteral("Stopped"));

    // Once loaded, a page's own field gets its Escape.
    typeInAddressBox(server.url(QStringLiteral("/field.html")));
    QVERIFY(User::waitForCaption(QStringLiteral("Field - Kestrel")));
    QTest::qWait(700); // drawn, and taking clicks
    User::click(w->findChild<QWebEngineView *>(), QPoint(30, 12));
    User::key(QStringLiteral("Escape"));
    QVERIFY(User::waitForCaption(QStringLiteral("Escape seen - Kestrel")));
}

void TestUserInput::windowKeysFullScreenExitAndClose()
{
    ini->write("[Settings]\r\nConfirmExit=True\r\n");
    MainWindow *w = openOn(QStringLiteral("/alpha.html"), QStringLiteral("Alpha - Kestrel"));
    const QRect normal = w->geometry();
    User::key(QStringLiteral("F11"));
    QTRY_COMPARE(w->geometry(), w->screen()->geometry());
    User::key(QStringLiteral("F11"));
    QTRY_COMPARE(w->geometry(), normal);

    // Ctrl+Q is File > Exit, with its question (No keeps the window); Ctrl+W asks it too.
    for (const auto &[keys, answer] : {std::pair{"ctrl+q", QMessageBox::No}, std::pair{"ctrl+w", QMessageBox::Yes}}) {
        // With no window manager to give the window back the keyboard, the user clicks into it.
        User::click(w->findChild<QWebEngineView *>());
        UserSteps steps;
        steps.then([keys = keys] { return User::key(QString::fromLatin1(keys)), true; }).then([answer = answer] {
            auto *box = shown<QMessageBox>(QString());
            return box && User::clickIf(box->button(answer));
        });
        QVERIFY2(steps.run(), qPrintable(steps.failure));
        QTRY_VERIFY(!shown<QMessageBox>(QString()));
    }
    QTRY_VERIFY(!User::captions().contains(QStringLiteral("Alpha - Kestrel")));
}

void TestUserInput::favoritesAndLinksFromKeysAndThePageMenu()
{
    server.page(QStringLiteral("/links.html"), "<title>Links</title><body style='margin:0'><a href='/beta.html' "
                                               "style='display:block;width:100vw;height:100vh'>Beta by link</a>");
    MainWindow *w = openOn(QStringLiteral("/links.html"), QStringLiteral("Links - Kestrel"));
    auto addTheFavorite = [] {
        QDialog *dialog = nullptr;
        QTRY_VERIFY((dialog = shown<QDialog>(QStringLiteral("frmFavAdd"))));
        User::click(dialog->findChild<QLineEdit *>(QStringLiteral("txtName")));
        User::key(QStringLiteral("Return"));
        QTRY_VERIFY(!dialog->isVisible());
    };
    User::key(QStringLiteral("ctrl+d"));
    addTheFavorite();
    QVERIFY(ini->bytes().contains("Name=Links\r\nURL=" + server.url(QStringLiteral("/links.html")).toUtf8()));

    // The page's menu on a link, and one of its items by its caption.
    QString captions;
    auto choose = [&](const QString &caption) {
        User::click(w->findChild<QWebEngineView *>(), QPoint(-1, -1), 3);
        QMenu *menu = nullptr;
        QTRY_VERIFY((menu = shown<QMenu>(QString())));
        const QList<QAction *> items = menu->actions();
        captions = std::accumulate(items.begin(), items.end(), QString(),
                                   [](const QString &all, QAction *a) { return all + a->text() + QLatin1Char('|'); });
        auto chosen = std::find_if(items.begin(), items.end(), [&](QAction *a) { return a->text() == caption; });
        QVERIFY2(chosen != items.end(), qPrintable(captions));
        User::click(menu, menu->actionGeometry(*chosen).center());
    };
    choose(QStringLiteral("Add Link to Favorites"));
    // A browser of windows has no tabs to speak of.
    QVERIFY2(!captions.contains(QStringLiteral("tab"), Qt::CaseInsensitive), qPrintable(captions));
    addTheFavorite();
    QVERIFY(ini->bytes().contains("Name=Beta by link\r\nURL=" + url("beta").toUtf8()));

    choose(QStringLiteral("Open Link in New Window"));
    QVERIFY(User::waitForCaption(QStringLiteral("Beta - Kestrel")));
    otherMainWindow(w)->close();
    QTRY_VERIFY(!User::captions().contains(QStringLiteral("Beta - Kestrel")));

    // The engine's tools, in a window of their own, again after a close.
    const QString tools = QStringLiteral("Developer Tools - Kestrel");
    for (int round = 0; round < 2; ++round) {
        choose(QStringLiteral("Inspect"));
        QVERIFY(User::waitForCaption(tools) && User::close(tools));
        QTRY_VERIFY(!User::captions().contains(tools));
    }
}

int main(int argc, char **argv)
{
    return runWithRealEngine<TestUserInput>(argc, argv);
}

#include "tst_e2e_input.moc"
