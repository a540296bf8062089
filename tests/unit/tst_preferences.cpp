#include "settings/Preferences.h"

#include <QtTest>

// What the [Settings] section of a file means for the start of a run: only
// the exact stored words count, and a missing or odd value falls back the
// way the program always has.
class TestPreferences : public QObject
{
    Q_OBJECT
private slots:
    void startOfARun_data();
    void startOfARun();
};

void TestPreferences::startOfARun_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QString>("firstPage");
    QTest::addColumn<bool>("keepInHistory");
    QTest::addColumn<bool>("canContinue");
    QTest::addColumn<int>("offered");
    QTest::addColumn<bool>("skipDialog");
    using S = Preferences::StartPage;
    QTest::newRow("nothing stored") << QByteArray() << QString() << true << false << int(S::Home) << false;
    QTest::newRow("home") << QByteArray("Startup=Home\nHome=http://home.test/\nLastURL=http://last.test/\n")
                          << "http://home.test/" << true << true << int(S::Home) << false;
    QTest::newRow("continue, key spelled otherwise")
        << QByteArray("StartUp=Continue\nHome=http://home.test/\nLastURL=http://last.test/\nDoStartup=False\n")
        << "http://last.test/" << true << true << int(S::Continue) << true;
    QTest::newRow("blank leaves no history") << QByteArray("Startup=Blank\nLastURL=about:blank\nDoStartup=True\n")
                                             << "about:blank" << false << false << int(S::Blank) << false;
    QTest::newRow("continue without a page") << QByteArray("Startup=Continue\n") << QString() << true << false
                                             << int(S::Continue) << false;
    QTest::newRow("lower case is no mode") << QByteArray("Startup=home\nHome=http://home.test/\nDoStartup=false\n")
                                           << QString() << true << false << int(S::Home) << false;
}

void TestPreferences::startOfARun()
{
    QFETCH(QByteArray, settings);
    const Preferences p = Preferences::fromBytes("[Other]\nStartup=Blank\n[Settings]\n" + settings + "[Favorites]\n");
    QTEST(p.firstPage().address, "firstPage");
    QTEST(p.firstPage().keepInHistory, "keepInHistory");
    QTEST(p.canContinue(), "canContinue");
    QTEST(int(p.offeredStartPage()), "offered");
    QTEST(p.skipStartupDialog(), "skipDialog");
}

QTEST_GUILESS_MAIN(TestPreferences)
#include "tst_preferences.moc"
