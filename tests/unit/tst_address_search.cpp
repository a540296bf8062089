#include "settings/Preferences.h"
#include "window/TypedAddress.h"

#include <QtTest>

// What Enter in the address box opens: an address as typed, or a search for
// words on the page the settings name.
class TestAddressSearch : public QObject
{
    Q_OBJECT
private slots:
    void addressOrSearch_data();
    void addressOrSearch();
    void searchPage_data();
    void searchPage();
};

void TestAddressSearch::addressOrSearch_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text");
    const int address = int(TypedAddress::Kind::Address), search = int(TypedAddress::Kind::Search),
              nothing = int(TypedAddress::Kind::Nothing);
    auto row = [](const char *name, const char *typed, int kind, const char *text) {
        QTest::newRow(name) << QString::fromUtf8(typed) << kind << QString::fromUtf8(text);
    };
    row("words", "hello world", search, "hello world");
    row("one word", "weather", search, "weather");
    row("blanks around", "  weather \t", search, "weather");
    row("question mark", "?example.com", search, "example.com");
    row("question mark and blank", "? kestrel", search, "kestrel");
    row("question mark alone", "?", nothing, "");
    row("blank", "   ", nothing, "");
    row("dotted name", "example.com", address, "example.com");
    row("dotted name and a blank", "example.com/a b", search, "example.com/a b");
    row("localhost", "localhost", address, "localhost");
    row("localhost in capitals with a port", "LOCALHOST:8080/x", address, "LOCALHOST:8080/x");
    row("IPv4 with a port", "127.0.0.1:8000/page.html", address, "127.0.0.1:8000/page.html");
    row("IPv6", "[::1]:8080", address, "[::1]:8080");
    row("a name and a port", "intranet:8080", address, "intranet:8080");
    row("a word and a colon", "weather:today", search, "weather:today");
    row("scheme", "http://weather", address, "http://weather");
    row("scheme with blanks", "file:///home/me/My Page.html", address, "file:///home/me/My Page.html");
    row("about", "about:blank", address, "about:blank");
    row("source", "view-source:example.com", address, "view-source:example.com");
    row("absolute path with a blank", "/home/me/My Page.html", address, "/home/me/My Page.html");
    row("number", "3.14", search, "3.14");
    row("trailing dot", "hello.", search, "hello.");
    row("leading dot", ".profile", search, ".profile");
    row("user at a host", "me@mail.example", address, "me@mail.example");
    row("word with a path", "weather/today", search, "weather/today");
}

void TestAddressSearch::addressOrSearch()
{
    QFETCH(QString, typed);
    const TypedAddress t = TypedAddress::from(typed);
    QTEST(int(t.kind), "kind");
    QTEST(t.text, "text");
}

void TestAddressSearch::searchPage_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QString>("words");
    QTest::addColumn<QString>("page");
    QTest::newRow("the file's engine, words joined by +")
        << QByteArray("SearchURL=http://127.0.0.1:8000/find?q=%s&ia=web\n") << "hello world"
        << "http://127.0.0.1:8000/find?q=hello+world&ia=web";
    QTest::newRow("what a query would split on is encoded")
        << QByteArray("SearchURL=http://s.test/?q=%s\n") << "a+b&c=d#e %s 100%"
        << "http://s.test/?q=a%2Bb%26c%3Dd%23e+%25s+100%25";
    QTest::newRow("not ASCII") << QByteArray("SearchURL=http://s.test/?q=%s\n") << QString::fromUtf8("café")
                               << "http://s.test/?q=caf%C3%A9";
    QTest::newRow("no %s: the words follow") << QByteArray("SearchURL=http://s.test/search?q=\n") << "owl"
                                             << "http://s.test/search?q=owl";
    QTest::newRow("missing: a private engine") << QByteArray() << "owl" << "https://duckduckgo.com/?q=owl";
    QTest::newRow("empty: a private engine") << QByteArray("SearchURL=  \n") << "owl"
                                             << "https://duckduckgo.com/?q=owl";
}

void TestAddressSearch::searchPage()
{
    QFETCH(QByteArray, settings);
    QFETCH(QString, words);
    const Preferences p = Preferences::fromBytes("[Settings]\n" + settings + "[Favorites]\nNumber=0\n");
    QTEST(searchAddress(p.searchUrl, words), "page");
}

QTEST_GUILESS_MAIN(TestAddressSearch)
#include "tst_address_search.moc"
