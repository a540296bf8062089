#include "startup/CommandLine.h"
#include "startup/EngineTuning.h"
#include "startup/HandOver.h"

#include <QtTest>

// How a start reads its command line, and what it hands to the Kestrel that
// already runs: the list of addresses and nothing that could do more.
class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void commandLine_data();
    void commandLine();
    void engineSwitchesReachTheEngine();
    void handOverCarriesAddressesOnly_data();
    void handOverCarriesAddressesOnly();
    void handOverWaitsForTheWholeMessage();
};

void TestStartup::commandLine_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("action");
    QTest::addColumn<QStringList>("addresses");
    QTest::addColumn<QString>("profile");
    QTest::addColumn<QStringList>("engine");
    using A = CommandLine::Action;
    const QStringList none;
    QTest::newRow("file counts from the working folder")
        << QStringList{"page.html", "http://a.test/x"} << int(A::Browse)
        << QStringList{"file:///work/page.html", "http://a.test/x"} << QString() << none;
    QTest::newRow("an address after -- may start with a dash")
        << QStringList{"--", "-odd.html", "--help"} << int(A::Browse)
        << QStringList{"file:///work/-odd.html", "file:///work/--help"} << QString() << none;
    QTest::newRow("unknown option") << QStringList{"--privat", "a.html"} << int(A::Refuse)
                                    << QStringList{"file:///work/a.html"} << QString() << none;
    QTest::newRow("unknown option wins over help") << QStringList{"--help", "-x"} << int(A::Refuse) << none
                                                   << QString() << none;
    QTest::newRow("help") << QStringList{"-h"} << int(A::Help) << none << QString() << none;
    QTest::newRow("version") << QStringList{"--version"} << int(A::Version) << none << QString() << none;
    QTest::newRow("Qt's options and their values are Qt's")
        << QStringList{"-style", "Fusion", "--platform", "xcb", "-reverse", "-stylesheet=s.qss", "x.html"}
        << int(A::Browse) << QStringList{"file:///work/x.html"} << QString() << none;
    QTest::newRow("profile, either spelling, the last one counts")
        << QStringList{"--profile", "p1", "--profile=/tmp/p2"} << int(A::Browse) << none << QString("/tmp/p2")
        << none;
    QTest::newRow("profile without a folder") << QStringList{"--profile"} << int(A::Refuse) << none << QString()
                                              << none;
    QTest::newRow("engine switches, named or after --webEngineArgs")
        << QStringList{"--disable-gpu", "a.html", "--webEngineArgs", "--any-switch", "b.html"} << int(A::Browse)
        << QStringList{"file:///work/a.html"} << QString()
        << QStringList{"--disable-gpu", "--any-switch", "b.html"};
}

void TestStartup::commandLine()
{
    QFETCH(QStringList, args);
    const CommandLine c = parseCommandLine(args, QStringLiteral("/work"));
    QTEST(int(c.action), "action");
    QTEST(c.addresses, "addresses");
    QTEST(c.profile, "profile");
    QTEST(c.engineSwitches, "engine");
    QCOMPARE(c.problem.isEmpty(), c.action != CommandLine::Action::Refuse);
}

void TestStartup::engineSwitchesReachTheEngine()
{
    // The engine ignores its command line once its variable is set, and
    // Kestrel always sets it.
    const EngineTuning t = chooseEngineTuning("--user-flag", {"--disable-gpu", "--remote-debugging-port=9222"},
                                              false, false);
    QVERIFY(t.chromiumFlags.startsWith("--user-flag --disable-gpu --remote-debugging-port=9222"));
    QVERIFY(t.softwareScene);
}

void TestStartup::handOverCarriesAddressesOnly_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<bool>("taken");
    const QByteArray head = "KESTREL OPEN 1\n";
    QTest::newRow("two addresses") << head + "http://a.test/x?q=1\nfile:///tmp/b%20c.html\n\n" << true;
    QTest::newRow("no address: one new window") << head + "\n" << true;
    QTest::newRow("script") << head + "http://a.test/\nJavaScript:alert(1)\n\n" << false;
    QTest::newRow("relative") << head + "a.html\n\n" << false;
    QTest::newRow("space") << head + "http://a.test/a b\n\n" << false;
    QTest::newRow("control character") << head + "http://a.test/\x1b[2J\n\n" << false;
    QTest::newRow("more after the end") << head + "http://a.test/\n\nhttp://b.test/\n\n" << false;
    QTest::newRow("another format") << QByteArray("GET / HTTP/1.1\r\nHost: x\r\n\r\n") << false;
    QTest::newRow("another version") << QByteArray("KESTREL OPEN 2\nhttp://a.test/\n\n") << false;
    QByteArray many = head;
    for (int i = 0; i <= HandOver::kMaxAddresses; ++i)
        many += "http://a.test/" + QByteArray::number(i) + "\n";
    QTest::newRow("too many windows") << many + "\n" << false;
    QTest::newRow("too large") << head + "http://a.test/" + QByteArray(HandOver::kMaxMessageBytes, 'a') + "\n\n"
                               << false;
}

void TestStartup::handOverCarriesAddressesOnly()
{
    QFETCH(QByteArray, message);
    QFETCH(bool, taken);
    QCOMPARE(HandOver::check(message) == HandOver::Reading::Complete, taken);
    QCOMPARE(HandOver::check(message) == HandOver::Reading::Refused, !taken);
    QCOMPARE(HandOver::decode(message).has_value(), taken);
}

void TestStartup::handOverWaitsForTheWholeMessage()
{
    const QStringList addresses{"http://a.test/x y", "file:///tmp/ünï.html", "about:blank"};
    const QByteArray message = HandOver::encode(addresses);
    // Read as it arrives, a byte at a time: nothing is taken before the end.
    for (int i = 0; i < message.size(); ++i)
        QCOMPARE(int(HandOver::check(message.left(i))), int(HandOver::Reading::Incomplete));
    QCOMPARE(int(HandOver::check(message)), int(HandOver::Reading::Complete));
    const QStringList got = HandOver::decode(message).value();
    QCOMPARE(got.size(), addresses.size());
    for (int i = 0; i < got.size(); ++i)
        QCOMPARE(QUrl(got[i]), QUrl(addresses[i]));
    QCOMPARE(HandOver::decode(HandOver::encode({})).value(), QStringList());
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
