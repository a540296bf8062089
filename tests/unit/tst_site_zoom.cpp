#include "zoom/SiteZoomStore.h"
#include "zoom/ZoomSteps.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <limits>

// Zoom in the steps users know, kept per site in a file of the profile.
class TestSiteZoom : public QObject
{
    Q_OBJECT
private slots:
    void steps_data();
    void steps();
    void keptAcrossRunsAndForgottenWhenCleared();
    void twoRunsKeepEachOthersSites();
    void spoiltFileStartsEmptyAndIsReplaced();
    void privateStoreWritesNothing();
    void siteOfAPage_data();
    void siteOfAPage();

private:
    QTemporaryDir m_dir;
    QString file(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }
};

void TestSiteZoom::steps_data()
{
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("larger");
    QTest::addColumn<double>("smaller");
    QTest::newRow("page's own") << 1.0 << 1.1 << 0.9;
    QTest::newRow("stored a hair off a step") << 1.0999999 << 1.25 << 1.0;
    QTest::newRow("between steps") << 1.3 << 1.5 << 1.25;
    QTest::newRow("smallest stays") << 0.3 << 0.5 << 0.3;
    QTest::newRow("largest stays") << 3.0 << 3.0 << 2.5;
    QTest::newRow("below the range") << 0.1 << 0.5 << 0.3;
    QTest::newRow("above the range") << 9.0 << 3.0 << 2.5;
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << 1.1 << 0.9;
}

void TestSiteZoom::steps()
{
    QFETCH(double, from);
    QTEST(ZoomSteps::larger(from), "larger");
    QTEST(ZoomSteps::smaller(from), "smaller");
}

void TestSiteZoom::keptAcrossRunsAndForgottenWhenCleared()
{
    const QString path = file("profile/site-zoom.json");
    {
        SiteZoomStore store(path);
        QVERIFY(store.load(nullptr));
        QSignalSpy changed(&store, &SiteZoomStore::changed);
        QString error;
        QVERIFY2(store.store(QStringLiteral("127.0.0.1"), 1.25, &error), qPrintable(error));
        QVERIFY(store.store(QStringLiteral("example.com"), 0.8, &error));
        QCOMPARE(changed.size(), 2);
        QCOMPARE(changed.at(0).at(0).toString(), QStringLiteral("127.0.0.1"));
    }
    SiteZoomStore next(path);
    QVERIFY(next.load(nullptr));
    QCOMPARE(next.zoom(QStringLiteral("127.0.0.1")), 1.25);
    QCOMPARE(next.zoom(QStringLiteral("example.com")), 0.8);
    QCOMPARE(next.zoom(QStringLiteral("other.test")), 1.0);
    // Back to the page's own size: the site is no longer kept.
    QVERIFY(next.store(QStringLiteral("example.com"), 1.0, nullptr));
    QFile kept(path);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QVERIFY(!kept.readAll().contains("example.com"));
    QSignalSpy cleared(&next, &SiteZoomStore::changed);
    QVERIFY(next.clear(nullptr));
    QCOMPARE(cleared.size(), 1);
    QVERIFY(cleared.at(0).at(0).toString().isEmpty());
    SiteZoomStore after(path);
    QVERIFY(after.load(nullptr));
    QCOMPARE(after.zoom(QStringLiteral("127.0.0.1")), 1.0);
}

void TestSiteZoom::twoRunsKeepEachOthersSites()
{
    const QString path = file("shared.json");
    SiteZoomStore one(path), two(path);
    QVERIFY(one.load(nullptr) && two.load(nullptr));
    QVERIFY(one.store(QStringLiteral("a.test"), 1.5, nullptr));
    QVERIFY(two.store(QStringLiteral("b.test"), 2.0, nullptr));
    SiteZoomStore read(path);
    QVERIFY(read.load(nullptr));
    QCOMPARE(read.zoom(QStringLiteral("a.test")), 1.5);
    QCOMPARE(read.zoom(QStringLiteral("b.test")), 2.0);
}

void TestSiteZoom::spoiltFileStartsEmptyAndIsReplaced()
{
    const QString path = file("spoilt.json");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("{\"a.test\": 1.5, \"big.test\": 1e308, \"text.test\": \"x\", \"\": 2");
    f.close();
    SiteZoomStore store(path);
    QString error;
    QVERIFY(!store.load(&error));
    QVERIFY2(error.contains(path), qPrintable(error));
    QCOMPARE(store.zoom(QStringLiteral("a.test")), 1.0);
    QVERIFY(store.store(QStringLiteral("c.test"), 1.1, nullptr));

    // Readable, with values no step has: kept within the range.
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("{\"big.test\": 1e308, \"small.test\": -4, \"text.test\": \"x\", \"\": 2}");
    f.close();
    QVERIFY(store.load(nullptr));
    QCOMPARE(store.zoom(QStringLiteral("big.test")), ZoomSteps::kLargest);
    QCOMPARE(store.zoom(QStringLiteral("small.test")), ZoomSteps::kSmallest);
    QCOMPARE(store.zoom(QStringLiteral("text.test")), 1.0);
    QCOMPARE(store.zoom(QString()), 1.0);
}

void TestSiteZoom::privateStoreWritesNothing()
{
    SiteZoomStore store;
    QVERIFY(store.load(nullptr));
    QVERIFY(store.store(QStringLiteral("a.test"), 1.5, nullptr));
    QCOMPARE(store.zoom(QStringLiteral("a.test")), 1.5);
    QVERIFY(QDir(m_dir.path()).entryList(QDir::Files).filter(QStringLiteral("private")).isEmpty());
}

void TestSiteZoom::siteOfAPage_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("site");
    QTest::newRow("host") << "http://127.0.0.1:8000/a.html" << "127.0.0.1";
    QTest::newRow("capitals") << "https://Example.COM/x" << "example.com";
    QTest::newRow("source of a page") << "view-source:http://example.com/x" << "example.com";
    QTest::newRow("blank") << "about:blank" << "";
    QTest::newRow("file") << "file:///tmp/a.html" << "";
}

void TestSiteZoom::siteOfAPage()
{
    QFETCH(QString, url);
    QTEST(SiteZoomStore::siteOf(QUrl(url)), "site");
}

QTEST_GUILESS_MAIN(TestSiteZoom)
#include "tst_site_zoom.moc"
