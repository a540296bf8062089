#include "window/PageSite.h"

#include <QtTest>

// What the window says a page comes from, made from the committed address.
class TestPageSite : public QObject
{
    Q_OBJECT
private slots:
    void named_data();
    void named();
};

void TestPageSite::named_data()
{
    QTest::addColumn<QString>("committed");
    QTest::addColumn<bool>("exception");
    QTest::addColumn<QString>("text");
    QTest::newRow("https names scheme, host and port")
        << "https://127.0.0.1:8443/a?b#c" << false << "https://127.0.0.1:8443";
    QTest::newRow("an accepted certificate is no trusted one")
        << "https://127.0.0.1:8443/" << true << "Certificate not trusted: 127.0.0.1:8443";
    QTest::newRow("http") << "http://[::1]:8080/" << false << "Not secure: [::1]:8080";
    // A file name cannot break the line or turn the text around.
    QTest::newRow("file path with a line break and a direction override")
        << "file:///tmp/a%0Ab%E2%80%AElmth.exe" << false << QStringLiteral("/tmp/a\uFFFDb\uFFFDlmth.exe");
    QTest::newRow("source of a page") << "view-source:https://example.com/x" << false << "https://example.com";
    QTest::newRow("blank page") << "about:blank" << false << "";
}

void TestPageSite::named()
{
    QFETCH(QString, committed);
    QFETCH(bool, exception);
    QFETCH(QString, text);
    QCOMPARE(PageSite::of(QUrl(committed), exception).text(), text);
}

QTEST_GUILESS_MAIN(TestPageSite)
#include "tst_page_site.moc"
