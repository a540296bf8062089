#include "settings/Preferences.h"
#include "window/AddressBoxLogic.h"
#include "window/LayoutPass.h"
#include "window/ProgressState.h"
#include "window/TypedAddress.h"

#include <QtTest>
#include <climits>

class TestWindowLogic : public QObject
{
    Q_OBJECT
private slots:
    void layoutRefusesNegativeSizes();
    void progress_data();
    void progress();
    void prefixSearchOrderAndCase_data();
    void prefixSearchOrderAndCase();
    void addressBoxEnterAppendsOnce();
    void addressBoxLoadsOnlyWhatTheUserChose();
    void escapeTakesTypingBackOnlyWhileTyping();
    void addressOrSearch_data();
    void addressOrSearch();
    void searchPage_data();
    void searchPage();
};

// A window too small for its parts keeps their last good sizes rather than
// giving any of them a negative one.
void TestWindowLogic::layoutRefusesNegativeSizes()
{
    const LayoutGeometry before = layoutPass({11760, 15225, false, true}, LayoutGeometry());
    const LayoutGeometry narrow = layoutPass({3000, 15225, true, true}, before);
    QCOMPARE(narrow.browserWidth, before.browserWidth);
    QVERIFY(narrow.cboWidth > 0 && narrow.browserLeft > 0);
    const LayoutGeometry shortWin = layoutPass({11760, 2000, false, true}, before);
    QCOMPARE(shortWin.browserHeight, before.browserHeight);
    QCOMPARE(shortWin.listHeight, before.listHeight);
    // The same height is enough once the status bar is gone.
    QVERIFY(layoutPass({11760, 2000, false, false}, before).browserHeight < before.browserHeight);
    const LayoutGeometry tiny = layoutPass({50, 50, false, true}, before);
    QCOMPARE(tiny.cboWidth, before.cboWidth);
    QCOMPARE(tiny.browserWidth, before.browserWidth);
}

void TestWindowLogic::progress_data()
{
    QTest::addColumn<float>("startValue");
    QTest::addColumn<int>("progress");
    QTest::addColumn<int>("progressMax");
    QTest::addColumn<float>("value");
    QTest::addColumn<bool>("visible");
    QTest::newRow("finished") << 40.f << -1 << 0 << 100.f << false;
    QTest::newRow("quarter") << 0.f << 50 << 200 << 25.f << true;
    QTest::newRow("whole") << 25.f << 200 << 200 << 100.f << false;
    QTest::newRow("not rounded") << 0.f << 1 << 3 << float(100.0 / 3.0) << true;
    QTest::newRow("over the maximum refused") << 30.f << 300 << 200 << 30.f << true;
    QTest::newRow("refused while at 100 stays hidden") << 100.f << 300 << 200 << 100.f << false;
    QTest::newRow("hundredfold past 32 bits") << 12.f << INT_MAX / 50 << 1000 << 12.f << true;
    QTest::newRow("hundredfold just fits") << 0.f << INT_MAX / 100 << INT_MAX / 100 << 100.f << false;
    QTest::newRow("zero progress keeps value") << 60.f << 0 << 100 << 60.f << true;
    QTest::newRow("zero maximum keeps value") << 60.f << 10 << 0 << 60.f << true;
    QTest::newRow("zero maximum after a finished load") << 100.f << 10 << 0 << 100.f << false;
    QTest::newRow("other negative") << 5.f << -2 << 100 << 5.f << true;
}

void TestWindowLogic::progress()
{
    QFETCH(float, startValue);
    QFETCH(int, progress);
    QFETCH(int, progressMax);
    QFETCH(float, value);
    QFETCH(bool, visible);
    const ProgressState s = progressStep({startValue, !visible}, progress, progressMax);
    QCOMPARE(s.value, value);
    QCOMPARE(s.visible, visible);
}

void TestWindowLogic::prefixSearchOrderAndCase_data()
{
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    const QStringList wrap{QStringLiteral("http://a.test"), QStringLiteral("http://a.test/more")};
    QTest::newRow("first item searched last") << wrap << QStringLiteral("http://a.test") << 1;
    QTest::newRow("only the first matches") << wrap << QStringLiteral("http://a.test") .left(8) << 1;
    QTest::newRow("wraps to the first")
        << QStringList{QStringLiteral("news"), QStringLiteral("mail")} << QStringLiteral("ne") << 0;
    QTest::newRow("none") << wrap << QStringLiteral("ftp") << -1;
    QTest::newRow("empty list") << QStringList() << QStringLiteral("a") << -1;
    QTest::newRow("ASCII case") << wrap << QStringLiteral("HTTP://A") << 1;
    QTest::newRow("Cyrillic case")
        << QStringList{QStringLiteral("x"), QString::fromUtf8("Новости.рф")} << QString::fromUtf8("нОВ") << 1;
    QTest::newRow("Greek case")
        << QStringList{QString::fromUtf8("Ελλάδα"), QStringLiteral("x")} << QString::fromUtf8("ΕΛΛ") << 0;
    QTest::newRow("empty text matches nothing") << wrap << QString() << -1;
    QTest::newRow("longer text than item") << wrap << QStringLiteral("http://a.test/more/still") << -1;
}

void TestWindowLogic::prefixSearchOrderAndCase()
{
    QFETCH(QStringList, items);
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(findPrefix(items, text), expected);
}

void TestWindowLogic::addressBoxEnterAppendsOnce()
{
    AddressBoxLogic box;
    QCOMPARE(box.keyUp(AddressKey::Enter), std::optional<QString>(AddressBoxLogic::kPlaceholder));
    box.gotFocus();
    box.edited(QStringLiteral("127.0.0.1/a.html"));
    QCOMPARE(box.keyUp(AddressKey::Enter), std::optional<QString>(QStringLiteral("127.0.0.1/a.html")));
    box.edited(QStringLiteral("127.0.0.1/a.html"));
    box.keyUp(AddressKey::Enter);
    QCOMPARE(box.items(), (QStringList{AddressBoxLogic::kPlaceholder, QStringLiteral("127.0.0.1/a.html")}));
    box.edited(QString());
    QCOMPARE(box.keyUp(AddressKey::Enter), std::optional<QString>(QString()));
    QCOMPARE(box.items().size(), 2);
}

// Only Enter or a pick from the open list loads; a completion or a step
// through the closed list only fills the box.
void TestWindowLogic::addressBoxLoadsOnlyWhatTheUserChose()
{
    AddressBoxLogic box;
    box.setItems({QStringLiteral("one.test"), QStringLiteral("two.test/page")});
    box.step(+1);
    QCOMPARE(box.text(), QStringLiteral("one.test"));
    box.edited(QStringLiteral("tw"));
    QCOMPARE(box.keyUp(AddressKey::Other), std::optional<QString>());
    QCOMPARE(box.text(), QStringLiteral("two.test/page"));
    QCOMPARE(box.selectionStart(), 2);
    QCOMPARE(box.selectionLength(), 11);
    // The completion's selection is gone with the next key, so that a key
    // that moves the cursor or selects all is not undone.
    QCOMPARE(box.keyUp(AddressKey::Other), std::optional<QString>());
    QCOMPARE(box.selectionLength(), 0);
    QCOMPARE(box.picked(0), std::optional<QString>(QStringLiteral("one.test")));
    QCOMPARE(box.keyUp(AddressKey::Enter), std::optional<QString>(QStringLiteral("one.test")));
}

// Escape belongs to the box while the user types (it takes the typing back)
// and to the page otherwise, where it stops a load.
void TestWindowLogic::escapeTakesTypingBackOnlyWhileTyping()
{
    AddressBoxLogic box;
    box.gotFocus();
    box.edited(QStringLiteral("one.test"));
    QVERIFY(box.isEditing());
    box.keyUp(AddressKey::Enter);
    QVERIFY(!box.isEditing());
    box.edited(QStringLiteral("one.test/x"));
    box.edited(QStringLiteral("one.test/xy"));
    box.escape();
    QVERIFY(!box.isEditing());
    QCOMPARE(box.text(), QStringLiteral("one.test"));
    QCOMPARE(box.selectionLength(), 8);
    // Stepping through the closed list is typing too.
    box.setItems({QStringLiteral("one.test"), QStringLiteral("two.test")});
    box.step(1);
    QVERIFY(box.isEditing());
    box.escape();
    QCOMPARE(box.text(), QStringLiteral("one.test"));
}

// What Enter in the address box opens: an address as typed, or a search for
// words on the page the settings name.
void TestWindowLogic::addressOrSearch_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text");
    const int address = int(TypedAddress::Kind::Address), search = int(TypedAddress::Kind::Search);
    auto row = [](const char *name, const char *typed, int kind, const char *text) {
        QTest::newRow(name) << QString::fromUtf8(typed) << kind << QString::fromUtf8(text);
    };
    row("words", "hello world", search, "hello world");
    row("one word, blanks around", "  weather \t", search, "weather");
    row("question mark", "?example.com", search, "example.com");
    row("question mark alone", " ? ", int(TypedAddress::Kind::Nothing), "");
    row("dotted name", "example.com", address, "example.com");
    row("dotted name and a blank", "example.com/a b", search, "example.com/a b");
    row("localhost in capitals", "LOCALHOST/x", address, "LOCALHOST/x");
    row("IPv4 with a port", "127.0.0.1:8000/page.html", address, "127.0.0.1:8000/page.html");
    row("IPv6", "[::1]:8080", address, "[::1]:8080");
    row("a name and a port", "intranet:8080", address, "intranet:8080");
    row("a word and a colon", "weather:today", search, "weather:today");
    row("scheme with blanks", "file:///home/me/My Page.html", address, "file:///home/me/My Page.html");
    row("absolute path with a blank", "/home/me/My Page.html", address, "/home/me/My Page.html");
    row("number", "3.14", search, "3.14");
    row("trailing dot", "hello.", search, "hello.");
    row("word with a path", "weather/today", search, "weather/today");
}

void TestWindowLogic::addressOrSearch()
{
    QFETCH(QString, typed);
    const TypedAddress t = TypedAddress::from(typed);
    QTEST(int(t.kind), "kind");
    QTEST(t.text, "text");
}

void TestWindowLogic::searchPage_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QString>("words");
    QTest::addColumn<QString>("page");
    QTest::newRow("the file's engine, words joined by +")
        << QByteArray("SearchURL=http://127.0.0.1:8000/find?q=%s&ia=web\n") << "hello world"
        << "http://127.0.0.1:8000/find?q=hello+world&ia=web";
    QTest::newRow("what a query would split on is encoded, and not ASCII")
        << QByteArray("SearchURL=http://s.test/?q=%s\n") << QString::fromUtf8("a+b&c=d#e %s 100% café")
        << "http://s.test/?q=a%2Bb%26c%3Dd%23e+%25s+100%25+caf%C3%A9";
    QTest::newRow("no %s: the words follow") << QByteArray("SearchURL=http://s.test/search?q=\n") << "owl"
                                             << "http://s.test/search?q=owl";
    QTest::newRow("missing: a private engine") << QByteArray() << "owl" << "https://duckduckgo.com/?q=owl";
}

void TestWindowLogic::searchPage()
{
    QFETCH(QByteArray, settings);
    QFETCH(QString, words);
    const Preferences p = Preferences::fromBytes("[Settings]\n" + settings + "[Favorites]\nNumber=0\n");
    QTEST(searchAddress(p.searchUrl, words), "page");
}

QTEST_GUILESS_MAIN(TestWindowLogic)
#include "tst_window_logic.moc"
