#include "E2eSupport.h"
#include "TempIni.h"

#include <QDirIterator>
#include <QLocalSocket>
#include <QTemporaryDir>

#include <X11/Xlib.h>

namespace {

const QByteArray kBlankStart = "[Settings]\r\nDoStartup=False\r\nStartup=Blank\r\n[Favorites]\r\nNumber=0\r\n";
const QString kBlank = QStringLiteral("about:blank - Kestrel");

QString captionOf(const QString &title, bool privately = false)
{
    return title + (privately ? QStringLiteral(" - Kestrel (Private)") : QStringLiteral(" - Kestrel"));
}

} // namespace

// One Kestrel per profile and what the profile keeps: later starts, a run
// that was killed, private windows, clearing, and a run ended by a signal.
// The real program, started and driven as a user does.
class TestProfile : public QObject
{
    Q_OBJECT
private slots:
    // Between two runs of the program, this connection keeps the X server up.
    void initTestCase() { QVERIFY((m_display = XOpenDisplay(nullptr))); }
    void cleanupTestCase() { XCloseDisplay(m_display); }
    void init();

    void laterStartsHandTheirAddressesToTheRunningKestrel();
    void killedRunOffersItsWindowsBackWithTheirPages();
    void pageThatStoppedComesBackUnloaded();
    void privateWindowLeavesNothingBehind();
    void clearedCookiesAreNotSentAgain();
    void terminatedRunWritesItsCookies();

private:
    std::unique_ptr<Kestrel> start(const QString &caption, const QStringList &args = {})
    {
        auto k = std::make_unique<Kestrel>(m_home->path(), args);
        if (!User::waitForCaption(caption, 30000))
            return nullptr;
        QTest::qWait(700); // the caption comes before the page is drawn and can take clicks
        return k;
    }
    // A later start of the same profile, run to its end: its exit code.
    int startLater(const QStringList &args)
    {
        Kestrel later(m_home->path(), args);
        return later.process.waitForFinished(20000) && later.process.exitStatus() == QProcess::NormalExit
                   ? later.process.exitCode()
                   : -1;
    }
    // Types an address into the window's address box and waits for the page.
    bool go(const QString &caption, const QString &path, const QString &arrives)
    {
        if (!User::focusWindow(caption))
            return false;
        User::key(QStringLiteral("ctrl+l"));
        User::type(m_server.url(path));
        User::key(QStringLiteral("Return"));
        return User::waitForCaption(arrives);
    }
    // The head of the last request for `path`.
    QByteArray lastHead(const QString &path) const
    {
        return m_server.heads.value(m_server.requests.lastIndexOf(path));
    }
    QString profileFolder() const { return m_home->path() + QStringLiteral("/.local/share/Kestrel"); }
    QByteArray savedSession() const
    {
        QFile f(profileFolder() + QStringLiteral("/session.dat"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Browser processes (not the engine's helpers) started on this home.
    int kestrelsOfThisHome() const;

    Display *m_display = nullptr;
    std::unique_ptr<QTemporaryDir> m_home;
    LocalServer m_server;
};

void TestProfile::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    for (const char *name : {"one", "two", "three", "a1", "a2", "b1", "b2", "check", "plain"})
        m_server.page(QStringLiteral("/%1.html").arg(QLatin1String(name)),
                      "<title>" + QByteArray(name).toUpper() + "</title><body style='background:#2a7f3c'>");
}

int TestProfile::kestrelsOfThisHome() const
{
    const QString program = QFileInfo(QString::fromLocal8Bit(qgetenv("KESTREL_BIN"))).canonicalFilePath();
    const QByteArray home = "\0HOME=" + QFile::encodeName(m_home->path()) + '\0';
    int count = 0;
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        if (QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).canonicalFilePath() != program)
            continue;
        QFile environ(QStringLiteral("/proc/%1/environ").arg(pid));
        if (environ.open(QIODevice::ReadOnly) && ('\0' + environ.readAll()).contains(home))
            ++count;
    }
    return count;
}

void TestProfile::laterStartsHandTheirAddressesToTheRunningKestrel()
{
    TempIni ini(kBlankStart);
    auto first = start(captionOf("ONE"), {m_server.url(QStringLiteral("/one.html"))});
    QVERIFY(first);
    QCOMPARE(startLater({m_server.url(QStringLiteral("/two.html"))}), 0);
    QVERIFY(User::waitForCaption(captionOf("TWO")));
    QCOMPARE(kestrelsOfThisHome(), 1);
    QCOMPARE(first->process.state(), QProcess::Running);

    // Whatever else reaches the socket opens nothing, and the Kestrel goes on.
    const QStringList sockets = QDir(Kestrel::runtimeFolder(m_home->path())).entryList(QDir::System);
    QCOMPARE(sockets.size(), 1);
    const QString socketPath = Kestrel::runtimeFolder(m_home->path()) + QLatin1Char('/') + sockets.first();
    for (const QByteArray &garbage :
         {QByteArray("GET / HTTP/1.1\r\nHost: x\r\n\r\n"), QByteArray("KESTREL OPEN 1\njavascript:document.title='OWNED'\n\n"),
          QByteArray("KESTREL OPEN 1\nhttp://127.0.0.1/") + QByteArray(70000, 'a') + "\n\n",
          QByteArray("KESTREL OPEN 1\n") + m_server.url(QStringLiteral("/three.html")).toUtf8() + "\n\nmore\n\n"}) {
        QLocalSocket s;
        s.connectToServer(socketPath);
        QVERIFY(s.waitForConnected(5000));
        s.write(garbage);
        s.waitForBytesWritten(5000);
        QVERIFY(s.waitForDisconnected(10000) || s.state() == QLocalSocket::UnconnectedState);
        QVERIFY(s.readAll().isEmpty());
    }
    QTest::qWait(1000);
    QCOMPARE(User::captions().filter(QStringLiteral(" - Kestrel")).size(), 2);
    QCOMPARE(m_server.hits(QStringLiteral("/three.html")), 0);

    // A start without an address opens one more window, as New Window does.
    QVERIFY(User::focusWindow(captionOf("TWO")));
    QCOMPARE(startLater({}), 0);
    QTRY_COMPARE_WITH_TIMEOUT(User::captions().count(captionOf("TWO")), 2, 20000);

    // Another profile has a Kestrel of its own.
    auto other = start(captionOf("THREE"), {QStringLiteral("--profile"), m_home->path() + QStringLiteral("/other"),
                                            m_server.url(QStringLiteral("/three.html"))});
    QVERIFY(other);
    QCOMPARE(other->process.state(), QProcess::Running);
    QCOMPARE(kestrelsOfThisHome(), 2);
    QVERIFY(QFile::exists(m_home->path() + QStringLiteral("/other/Cookies")));
}

void TestProfile::killedRunOffersItsWindowsBackWithTheirPages()
{
    TempIni ini(kBlankStart);
    auto first = start(captionOf("A1"), {m_server.url(QStringLiteral("/a1.html"))});
    QVERIFY(first);
    QCOMPARE(startLater({m_server.url(QStringLiteral("/b1.html"))}), 0);
    QVERIFY(User::waitForCaption(captionOf("B1")));
    QVERIFY(go(captionOf("A1"), QStringLiteral("/a2.html"), captionOf("A2")));
    QVERIFY(go(captionOf("B1"), QStringLiteral("/b2.html"), captionOf("B2")));
    // A window closed by mistake comes back with its pages.
    QVERIFY(User::close(captionOf("B2")));
    QTRY_VERIFY_WITH_TIMEOUT(!User::captions().contains(captionOf("B2")), 10000);
    QVERIFY(User::focusWindow(captionOf("A2")));
    User::key(QStringLiteral("ctrl+shift+t"));
    QVERIFY(User::waitForCaption(captionOf("B2")));

    // The windows reach the disk within two seconds, then the run is killed.
    auto kept = [this] {
        const QByteArray bytes = savedSession();
        return bytes.contains("/a2.html") && bytes.contains("/b2.html") && bytes.contains("/b1.html");
    };
    QTRY_VERIFY_WITH_TIMEOUT(kept(), 3000);
    first->process.kill();
    QVERIFY(first->process.waitForFinished(10000));

    auto second = start(QStringLiteral("Restore Windows"));
    QVERIFY(second);
    QVERIFY(User::waitForCaption(kBlank));
    const int a2Loads = m_server.hits(QStringLiteral("/a2.html"));
    QVERIFY(User::focusWindow(QStringLiteral("Restore Windows")));
    User::key(QStringLiteral("Return"));
    QVERIFY(User::waitForCaption(captionOf("A2")));
    QVERIFY(User::waitForCaption(captionOf("B2")));
    QTRY_COMPARE_WITH_TIMEOUT(m_server.hits(QStringLiteral("/a2.html")), a2Loads + 1, 10000);
    for (const char *window : {"B", "A"}) {
        QVERIFY(User::focusWindow(captionOf(QLatin1String(window) + QLatin1Char('2'))));
        User::key(QStringLiteral("alt+v o b"));
        QVERIFY(User::waitForCaption(captionOf(QLatin1String(window) + QLatin1Char('1'))));
    }
}

void TestProfile::pageThatStoppedComesBackUnloaded()
{
    TempIni ini(QByteArray(kBlankStart).replace("Startup=Blank", "Startup=Continue"));
    auto first = start(captionOf("ONE"), {m_server.url(QStringLiteral("/one.html"))});
    QVERIFY(first && go(captionOf("ONE"), QStringLiteral("/two.html"), captionOf("TWO")));
    QTRY_VERIFY_WITH_TIMEOUT(savedSession().contains("/two.html"), 3000);
    const QByteArray before = savedSession();
    // The engine's own address for a page that takes its renderer down.
    User::key(QStringLiteral("ctrl+l"));
    User::type(QStringLiteral("chrome://crash"));
    User::key(QStringLiteral("Return"));
    QVERIFY(User::waitForCaption(captionOf(QStringLiteral("Page stopped"))));
    QTRY_VERIFY_WITH_TIMEOUT(savedSession() != before, 3000);
    first->process.kill();
    QVERIFY(first->process.waitForFinished(10000));

    // Continue brings the window back at once, without asking, and unloaded.
    const int loads = m_server.hits(QStringLiteral("/two.html"));
    auto second = start(captionOf(QStringLiteral("Page stopped")));
    QVERIFY(second);
    QVERIFY(!User::captions().contains(QStringLiteral("Restore Windows")));
    QCOMPARE(m_server.hits(QStringLiteral("/two.html")), loads);
    QVERIFY(User::focusWindow(captionOf(QStringLiteral("Page stopped"))));
    User::key(QStringLiteral("F5"));
    QVERIFY(User::waitForCaption(captionOf("TWO")));
    QCOMPARE(m_server.hits(QStringLiteral("/two.html")), loads + 1);
    User::key(QStringLiteral("alt+v o b"));
    QVERIFY(User::waitForCaption(captionOf("ONE")));
}

void TestProfile::privateWindowLeavesNothingBehind()
{
    m_server.page(QStringLiteral("/secret.html"),
                  "<title>SECRET</title><script>localStorage.setItem('hush', 'p42-in-storage');"
                  "indexedDB.open('p42-database', 1)</script>",
                  "text/html", "Set-Cookie: hush=p42; Max-Age=3600; Path=/\r\n");
    TempIni ini(kBlankStart);
    auto kestrel = start(captionOf("PLAIN"), {m_server.url(QStringLiteral("/plain.html"))});
    QVERIFY(kestrel && User::focusWindow(captionOf("PLAIN")));
    User::key(QStringLiteral("ctrl+shift+p"));
    const QString privateStart = captionOf(QStringLiteral("Kestrel Start Page"), true);
    QVERIFY(User::waitForCaption(privateStart));
    QVERIFY(go(privateStart, QStringLiteral("/secret.html"), captionOf("SECRET", true)));
    // Nothing of it on disk, while it is open and after: not the address,
    // not the cookie, not what the page stored.
    auto noTraces = [this] {
        QDirIterator files(m_home->path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        int read = 0;
        while (files.hasNext()) {
            QFile f(files.next());
            if (!f.open(QIODevice::ReadOnly))
                continue;
            const QByteArray bytes = f.readAll();
            ++read;
            for (const char *trace : {"p42", "secret.html", "SECRET"}) {
                // Also as a serialized string holds it, in UTF-16.
                QByteArray wide;
                for (const char *c = trace; *c; ++c)
                    wide.append('\0').append(*c);
                if (bytes.contains(trace) || bytes.contains(wide))
                    return f.fileName() + QStringLiteral(" holds ") + QString::fromLatin1(trace);
            }
        }
        // The profile was written, just not with these.
        return read > 5 ? QString() : QStringLiteral("only %1 files written").arg(read);
    };
    QTest::qWait(2000); // longer than the last address and the session take to be written
    QVERIFY(!ini.bytes().contains("secret"));
    QString traces = noTraces();
    QVERIFY2(traces.isEmpty(), qPrintable(traces));
    QVERIFY(go(captionOf("PLAIN"), QStringLiteral("/check.html"), captionOf("CHECK")));
    QVERIFY2(!lastHead(QStringLiteral("/check.html")).contains("hush"), lastHead(QStringLiteral("/check.html")));

    // The last private window closed, the next one starts afresh.
    QVERIFY(User::close(captionOf("SECRET", true)));
    QTRY_VERIFY_WITH_TIMEOUT(!User::captions().contains(captionOf("SECRET", true)), 10000);
    QTest::qWait(500);
    QVERIFY(User::focusWindow(captionOf("CHECK")));
    User::key(QStringLiteral("ctrl+shift+p"));
    QVERIFY(User::waitForCaption(privateStart));
    QVERIFY(go(privateStart, QStringLiteral("/check.html"), captionOf("CHECK", true)));
    QVERIFY2(!lastHead(QStringLiteral("/check.html")).contains("hush"), lastHead(QStringLiteral("/check.html")));
    QVERIFY(User::close(captionOf("CHECK", true)));
    QVERIFY(kestrel->closeAndEnd(captionOf("CHECK")));

    QVERIFY(!ini.bytes().contains("secret"));
    traces = noTraces();
    QVERIFY2(traces.isEmpty(), qPrintable(traces));
}

void TestProfile::clearedCookiesAreNotSentAgain()
{
    m_server.page(QStringLiteral("/set.html"), "<title>SET</title>", "text/html",
                  "Set-Cookie: kept=c77; Max-Age=3600; Path=/\r\n");
    TempIni ini(kBlankStart);
    auto kestrel = start(captionOf("SET"), {m_server.url(QStringLiteral("/set.html"))});
    QVERIFY(kestrel);
    QVERIFY(go(captionOf("SET"), QStringLiteral("/check.html"), captionOf("CHECK")));
    QVERIFY(lastHead(QStringLiteral("/check.html")).contains("kept=c77"));
    // The first two boxes are checked: Enter clears cookies and the cache.
    User::key(QStringLiteral("ctrl+shift+Delete"));
    QVERIFY(User::waitForCaption(QStringLiteral("Clear Browsing Data")));
    QVERIFY(User::focusWindow(QStringLiteral("Clear Browsing Data")));
    User::key(QStringLiteral("Return"));
    QTRY_VERIFY_WITH_TIMEOUT(!User::captions().contains(QStringLiteral("Clear Browsing Data")), 10000);
    const int checks = m_server.hits(QStringLiteral("/check.html"));
    QVERIFY(User::focusWindow(captionOf("CHECK")));
    User::key(QStringLiteral("F5"));
    QTRY_COMPARE_WITH_TIMEOUT(m_server.hits(QStringLiteral("/check.html")), checks + 1, 10000);
    QVERIFY2(!lastHead(QStringLiteral("/check.html")).contains("kept=c77"), lastHead(QStringLiteral("/check.html")));
    QVERIFY(kestrel->closeAndEnd(captionOf("CHECK")));
}

void TestProfile::terminatedRunWritesItsCookies()
{
    m_server.page(QStringLiteral("/set.html"), "<title>SET</title>", "text/html",
                  "Set-Cookie: late=s99; Max-Age=3600; Path=/\r\n");
    // Closing a window would ask first: a desktop that logs out cannot answer.
    TempIni ini(QByteArray(kBlankStart).replace("Startup=Blank", "Startup=Blank\r\nConfirmExit=True"));
    auto kestrel = start(captionOf("SET"), {m_server.url(QStringLiteral("/set.html"))});
    QVERIFY(kestrel);
    QTest::qWait(1000);
    kestrel->process.terminate();
    QVERIFY(kestrel->ends());
    QVERIFY(!User::captions().contains(QStringLiteral("Exit Confirmation")));
    ini.write(kBlankStart);
    auto again = start(captionOf("CHECK"), {m_server.url(QStringLiteral("/check.html"))});
    QVERIFY(again);
    QVERIFY2(lastHead(QStringLiteral("/check.html")).contains("late=s99"), lastHead(QStringLiteral("/check.html")));
    // It ended as a run ends, not as one that crashed.
    QVERIFY(!User::captions().contains(QStringLiteral("Restore Windows")));
    QVERIFY(again->closeAndEnd(captionOf("CHECK")));
}

QTEST_GUILESS_MAIN(TestProfile)
#include "tst_e2e_profile.moc"
