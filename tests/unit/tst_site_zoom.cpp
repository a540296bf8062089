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
    void aStoreWithoutAFileKeepsEverySiteForTheRun();
    void spoiltFileStartsEmptyAndValuesStayInRange();

private:
    QTemporaryDir m_dir;
};

void TestSiteZoom::steps_data()
{
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("larger");
    QTest::addColumn<double>("smaller");
    QTest::newRow("page's own") << 1.0 << 1.1 << 0.9;
    QTest::newRow("stored a hair off a step") << 1.0999999 << 1.25 << 1.0;
    QTest::newRow("between steps") << 1.3 << 1.5 << 1.25;
    QTest::newRow("the largest stays") << 3.0 << 3.0 << 2.5;
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
    const QString path = m_dir.filePath(QStringLiteral("profile/site-zoom.json"));
    {
        SiteZoomStore store(path);
        QVERIFY(store.load(nullptr));
        QVERIFY(store.store(SiteZoomStore::siteOf(QUrl(QStringLiteral("http://127.0.0.1:8000/a"))), 1.25, nullptr));
        // The source of a page belongs to the page's site.
        QVERIFY(store.store(SiteZoomStore::siteOf(QUrl(QStringLiteral("view-source:http://a.test/"))), 0.8, nullptr));
    }
    SiteZoomStore next(path);
    QVERIFY(next.load(nullptr));
    QCOMPARE(next.zoom(QStringLiteral("127.0.0.1")), 1.25);
    QCOMPARE(next.zoom(QStringLiteral("a.test")), 0.8);
    QSignalSpy changed(&next, &SiteZoomStore::changed);
    QVERIFY(next.clear(nullptr));
    QCOMPARE(changed.size(), 1);
    QVERIFY(changed.at(0).at(0).toString().isEmpty()); // every site
    SiteZoomStore after(path);
    QVERIFY(after.load(nullptr));
    QCOMPARE(after.zoom(QStringLiteral("127.0.0.1")), 1.0);
}

void TestSiteZoom::twoRunsKeepEachOthersSites()
{
    const QString path = m_dir.filePath(QStringLiteral("shared.json"));
    SiteZoomStore one(path), two(path);
    QVERIFY(one.load(nullptr) && two.load(nullptr));
    QVERIFY(one.store(QStringLiteral("a.test"), 1.5, nullptr));
    QVERIFY(two.store(QStringLiteral("b.test"), 2.0, nullptr));
    SiteZoomStore read(path);
    QVERIFY(read.load(nullptr));
    QCOMPARE(read.zoom(QStringLiteral("a.test")), 1.5);
    QCOMPARE(read.zoom(QStringLiteral("b.test")), 2.0);
}

// A private window's: no site is forgotten when another is kept.
void TestSiteZoom::aStoreWithoutAFileKeepsEverySiteForTheRun()
{
    SiteZoomStore store;
    QVERIFY(store.load(nullptr));
    QVERIFY(store.store(QStringLiteral("a.test"), 1.5, nullptr));
    QVERIFY(store.store(QStringLiteral("b.test"), 0.8, nullptr));
    QCOMPARE(store.zoom(QStringLiteral("a.test")), 1.5);
    QCOMPARE(store.zoom(QStringLiteral("b.test")), 0.8);
}

void TestSiteZoom::spoiltFileStartsEmptyAndValuesStayInRange()
{
    const QString path = m_dir.filePath(QStringLiteral("spoilt.json"));
    auto write = [&path](const QByteArray &bytes) {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    };
    QVERIFY(write("{\"a.test\": 1.5, "));
    SiteZoomStore store(path);
    QString error;
    QVERIFY(!store.load(&error) && error.contains(path));
    QCOMPARE(store.zoom(QStringLiteral("a.test")), 1.0);
    QVERIFY(write("{\"big.test\": 1e308, \"small.test\": -4, \"text.test\": \"x\"}"));
    QVERIFY(store.load(nullptr));
    QCOMPARE(store.zoom(QStringLiteral("big.test")), ZoomSteps::kLargest);
    QCOMPARE(store.zoom(QStringLiteral("small.test")), ZoomSteps::kSmallest);
    QCOMPARE(store.zoom(QStringLiteral("text.test")), 1.0);
}

QTEST_GUILESS_MAIN(TestSiteZoom)
#include "tst_site_zoom.moc"
