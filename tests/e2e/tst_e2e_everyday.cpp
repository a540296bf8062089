#include "E2eSupport.h"
#include "ProcessTree.h"
#include "TempIni.h"

#include <QDBusConnection>
#include <QDir>
#include <QTemporaryDir>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// A python3 server with handler class H, for what the local server cannot
// do, in `dir` and over TLS when a certificate is there; its port, or nothing
// when python3 cannot serve here.
QString python(QProcess &server, const QByteArray &handler, const QString &dir, bool tls = false)
{
    QByteArray script = "import http.server, ssl, time\n" + handler + "s = http.server.HTTPServer(('127.0.0.1', 0), H)\n";
    if (tls)
        script += "c = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)\nc.load_cert_chain('cert.pem', 'key.pem')\n"
                  "s.socket = c.wrap_socket(s.socket, server_side=True)\n";
    server.setWorkingDirectory(dir);
    server.start(QStringLiteral("python3"), {QStringLiteral("-c"), QString::fromLatin1(script + "print(s.server_address[1], flush=True)\ns.serve_forever()\n")});
    return server.waitForReadyRead(20000) ? QString::fromLatin1(server.readLine().trimmed()) : QString();
}

// A link that fills the whole page, for a click anywhere.
QByteArray pageLinkingTo(const QByteArray &title, const QByteArray &href)
{
    return "<title>" + title + "</title><body style='margin:0'><a href='" + href
           + "' style='display:block;width:100vw;height:100vh'>" + title + "</a>";
}

const QString welcome = QStringLiteral("Welcome to Kestrel");

} // namespace

// The desktop's notification service, as the program finds it on a session
// bus of the test's own: it keeps what it is asked to show.
class FakeNotificationService : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList summaries, bodies;

public slots:
    QStringList GetCapabilities() { return {QStringLiteral("body"), QStringLiteral("body-markup")}; }
    uint Notify(const QString &, uint, const QString &, const QString &summary, const QString &body,
                const QStringList &, const QVariantMap &, int)
    {
        summaries << summary;
        bodies << body;
        return uint(summaries.size());
    }
    void CloseNotification(uint) {}
};

// Everyday use of the real program, started as a user starts it: checked by
// what leaves it (files, the server's log) and what its windows show.
class TestEveryday : public QObject
{
    Q_OBJECT
private slots:
    // The X server starts afresh when its last client leaves, and refuses
    // connections meanwhile: between two runs of the program, this one stays.
    void initTestCase() { QVERIFY((m_display = XOpenDisplay(nullptr))); }
    void cleanupTestCase() { XCloseDisplay(m_display); }
    // Each test in a home of its own: a profile, its session and its socket.
    void init()
    {
        m_home = std::make_unique<QTemporaryDir>();
        QVERIFY(m_home->isValid());
    }

    void continuesOnTheLastPageWithItsCookies();
    void startupDialogByKeyboard();
    void addressesGivenToTheProgramOpenInWindowsOfTheirOwn();
    void attachmentsLandInDownloadsWithoutOverwriting();
    void closingTheLastWindowAsksAboutRunningDownloads();
    void signInSendsTheTypedCredentialsAndCancelShowsTheRefusal();
    void signInLoopEndsAfterOneCancel();
    void permissionRequestsAreAnsweredEitherWay();
    void pageFillsTheScreenOnAClickAndEscapeLeaves();
    void zoomIsKeptPerSiteAcrossRuns();
    void untrustedCertificateIsNamedAndOpensOnlyByChoice();

private:
    // The program on `address`, or on the last page when none is given.
    std::unique_ptr<Kestrel> start(const QString &caption, const QString &address = QString())
    {
        auto k = std::make_unique<Kestrel>(m_home->path(), address.isEmpty() ? QStringList() : QStringList{address});
        if (!User::waitForCaption(caption, 30000))
            return nullptr;
        QTest::qWait(700); // the caption comes before the page is drawn and can take clicks
        return k;
    }
    QByteArray continueOn(const QString &path)
    {
        return "[Settings]\r\nDoStartup=False\r\nStartup=Continue\r\nLastURL=" + m_server.url(path).toUtf8()
               + "\r\n[Favorites]\r\nNumber=0\r\n";
    }

    Display *m_display = nullptr;
    std::unique_ptr<QTemporaryDir> m_home;
    LocalServer m_server;
};

void TestEveryday::continuesOnTheLastPageWithItsCookies()
{
    m_server.page(QStringLiteral("/signin.html"), "<title>Signed In</title>", "text/html",
                  "Set-Cookie: visitor=kestrel42; Max-Age=3600; Path=/\r\n");
    m_server.page(QStringLiteral("/again.html"), "<title>Welcome Back</title>");
    // No window was kept yet: Continue opens the last address.
    TempIni ini(continueOn(QStringLiteral("/signin.html")));
    auto first = start(QStringLiteral("Signed In - Kestrel"));
    QVERIFY(first && User::focusWindow(QStringLiteral("Signed In - Kestrel")));
    User::key(QStringLiteral("ctrl+l"));
    User::type(m_server.url(QStringLiteral("/again.html")));
    User::key(QStringLiteral("Return"));
    QVERIFY(User::waitForCaption(QStringLiteral("Welcome Back - Kestrel")));
    QVERIFY(first->closeAndEnd(QStringLiteral("Welcome Back - Kestrel")));
    QVERIFY(ini.bytes().contains("Startup=Continue"));
    // The window comes back with its cookies and its way back.
    auto second = start(QStringLiteral("Welcome Back - Kestrel"));
    QVERIFY(second);
    QVERIFY(!User::captions().contains(welcome));
    const QByteArray head = m_server.heads.value(m_server.requests.lastIndexOf(QStringLiteral("/again.html")));
    QVERIFY2(head.contains("\r\nCookie: visitor=kestrel42"), head.constData());
    QVERIFY(User::focusWindow(QStringLiteral("Welcome Back - Kestrel")));
    User::key(QStringLiteral("alt+v o b"));
    QVERIFY(User::waitForCaption(QStringLiteral("Signed In - Kestrel")));
    QVERIFY(second->closeAndEnd(QStringLiteral("Signed In - Kestrel")));
    QVERIFY(QDir(m_home->path() + QStringLiteral("/.local/share/Kestrel")).exists());
    QVERIFY(QDir(m_home->path() + QStringLiteral("/.cache/Kestrel")).exists());
}

void TestEveryday::startupDialogByKeyboard()
{
    m_server.page(QStringLiteral("/last.html"), "<title>Last Page</title>");
    TempIni ini(continueOn(QStringLiteral("/last.html")).replace("DoStartup=False", "DoStartup=True")
                    .replace("Startup=Continue", "Startup=Blank"));
    auto kestrel = start(welcome);
    QVERIFY(kestrel);
    // With no window manager here to activate it, the user clicks into it
    // first; then its access keys choose and Enter starts.
    User::clickWindow(welcome, QPoint(10, 10));
    User::key(QStringLiteral("alt+c alt+d"));
    QTest::qWait(200); // an access key presses its button for a moment
    User::key(QStringLiteral("Return"));
    QVERIFY(User::waitForCaption(QStringLiteral("Last Page - Kestrel"), 30000));
    QCOMPARE(m_server.hits(QStringLiteral("/last.html")), 1);
    QVERIFY(ini.bytes().contains("Startup=Continue"));
    QVERIFY(ini.bytes().contains("DoStartup=False"));
    QVERIFY(kestrel->closeAndEnd(QStringLiteral("Last Page - Kestrel")));
}

void TestEveryday::addressesGivenToTheProgramOpenInWindowsOfTheirOwn()
{
    m_server.page(QStringLiteral("/one.html"), "<title>Link One</title>");
    m_server.page(QStringLiteral("/two.html"), "<title>Link Two</title>");
    // A first start: the start-up dialog would ask, but a link is waiting.
    TempIni ini("[Settings]\r\n");
    Kestrel kestrel(m_home->path(), {m_server.url(QStringLiteral("/one.html")), m_server.url(QStringLiteral("/two.html"))});
    QVERIFY(User::waitForCaption(QStringLiteral("Link One - Kestrel"), 30000));
    QVERIFY(User::waitForCaption(QStringLiteral("Link Two - Kestrel")));
    QVERIFY(!User::captions().contains(welcome));
    QCOMPARE(User::captions().filter(QStringLiteral(" - Kestrel")).size(), 2);
    QVERIFY(User::close(QStringLiteral("Link One - Kestrel")));
    QVERIFY(kestrel.closeAndEnd(QStringLiteral("Link Two - Kestrel")));
}

void TestEveryday::attachmentsLandInDownloadsWithoutOverwriting()
{
    QByteArray report;
    for (int i = 0; i < 300000; ++i)
        report += char(i * 7 % 256); // every byte value, NUL included
    m_server.page(QStringLiteral("/report.pdf"), report, "application/pdf",
                  "Content-Disposition: attachment; filename=\"report.pdf\"\r\n");
    m_server.page(QStringLiteral("/files.html"), pageLinkingTo("Files", "/report.pdf"));
    TempIni ini("[Settings]\r\n");
    const QString caption = QStringLiteral("Files - Kestrel");
    auto kestrel = start(caption, m_server.url(QStringLiteral("/files.html")));
    QVERIFY(kestrel);
    auto bytes = [this](const QString &name) {
        QFile f(m_home->path() + QStringLiteral("/Downloads/") + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    User::clickWindow(caption, QPoint(400, 500));
    QTRY_COMPARE_WITH_TIMEOUT(bytes(QStringLiteral("report.pdf")), report, 20000);
    User::clickWindow(caption, QPoint(400, 500));
    QTRY_COMPARE_WITH_TIMEOUT(bytes(QStringLiteral("report (1).pdf")), report, 20000);
    QCOMPARE(bytes(QStringLiteral("report.pdf")), report);
    // The page's menu: Reload, Save page, Open Link in New Window, Add Link
    // to Favorites, Copy Link Address, Save Link As.
    User::clickWindow(caption, QPoint(400, 500), 3);
    QTest::qWait(500);
    User::key(QStringLiteral("Down Down Down Down Down Down Return"));
    QTRY_COMPARE_WITH_TIMEOUT(bytes(QStringLiteral("report (2).pdf")), report, 20000);
    QVERIFY(kestrel->closeAndEnd(caption));
}

void TestEveryday::closingTheLastWindowAsksAboutRunningDownloads()
{
    // A file that stops coming halfway.
    QProcess slow;
    const QString port = python(slow, R"(class H(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        self.send_response(200)
        self.send_header("Content-Disposition", "attachment; filename=slow.bin")
        self.send_header("Content-Length", str(20 * 50000))
        self.end_headers()
        for i in range(20):
            self.wfile.write(bytes([65 + i]) * 50000)
            self.wfile.flush()
            time.sleep(0.1 if i < 10 else 60)
)", m_home->path());
    if (port.isEmpty())
        QSKIP("python3 cannot serve here");
    m_server.page(QStringLiteral("/slow.html"), pageLinkingTo("Slow", "http://127.0.0.1:" + port.toLatin1() + "/slow.bin"));
    TempIni ini("[Settings]\r\n");
    const QString caption = QStringLiteral("Slow - Kestrel");
    const QString question = QStringLiteral("Downloads Running");
    auto kestrel = start(caption, m_server.url(QStringLiteral("/slow.html")));
    QVERIFY(kestrel);
    User::clickWindow(caption, QPoint(400, 500));
    const QDir downloads(m_home->path() + QStringLiteral("/Downloads"));
    QTRY_VERIFY_WITH_TIMEOUT(!downloads.entryList(QDir::Files).isEmpty(), 20000);
    const QList<qint64> processes = processTree(kestrel->process.processId());

    // Keep the window: it stays, and so does the program.
    QVERIFY(User::close(caption));
    QVERIFY(User::waitForCaption(question) && User::focusWindow(question));
    User::key(QStringLiteral("Escape"));
    QTRY_VERIFY_WITH_TIMEOUT(!User::captions().contains(question), 10000);
    QVERIFY(User::captions().contains(caption));
    QCOMPARE(kestrel->process.state(), QProcess::Running);

    // Cancel the download: the program ends with its window, every process
    // it started with it, and nothing is left in Downloads.
    QVERIFY(User::close(caption));
    QVERIFY(User::waitForCaption(question) && User::focusWindow(question));
    User::key(QStringLiteral("alt+c"));
    QVERIFY(kestrel->ends(30000));
    QTRY_VERIFY_WITH_TIMEOUT(std::none_of(processes.begin(), processes.end(),
                                          [](qint64 pid) { return QFile::exists(QStringLiteral("/proc/%1").arg(pid)); }),
                             10000);
    QCOMPARE(downloads.entryList({QStringLiteral("slow*")}, QDir::Files | QDir::Hidden), QStringList());
    slow.kill();
    slow.waitForFinished();
}

void TestEveryday::signInSendsTheTypedCredentialsAndCancelShowsTheRefusal()
{
    m_server.answer = [](const QString &path, const QByteArray &head) -> QByteArray {
        if (path != QLatin1String("/staff.html"))
            return {};
        const bool known = head.contains("\r\nAuthorization: Basic " + QByteArray("ann:s3cr<t").toBase64() + "\r\n");
        const QByteArray body = known ? "<title>Staff Only</title>" : "<title>Keep Out</title>";
        const QByteArray status = known ? "200 OK" : "401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"<b>Staff</b>\"";
        return "HTTP/1.1 " + status + "\r\nContent-Type: text/html\r\nContent-Length: "
               + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    };
    TempIni ini("[Settings]\r\n");
    const QString url = m_server.url(QStringLiteral("/staff.html"));
    const QString signIn = QStringLiteral("Sign In");
    {
        auto refused = start(signIn, url);
        QVERIFY(refused && User::focusWindow(signIn));
        User::key(QStringLiteral("Escape"));
        QVERIFY(User::waitForCaption(QStringLiteral("Keep Out - Kestrel")));
        QVERIFY(!User::captions().contains(signIn));
        QVERIFY(refused->closeAndEnd(QStringLiteral("Keep Out - Kestrel")));
    }
    auto kestrel = start(signIn, url);
    QVERIFY(kestrel && User::focusWindow(signIn));
    User::type(QStringLiteral("ann"));
    User::key(QStringLiteral("Tab"));
    User::type(QStringLiteral("s3cr<t"));
    User::key(QStringLiteral("Return"));
    QVERIFY(User::waitForCaption(QStringLiteral("Staff Only - Kestrel")));
    QVERIFY(kestrel->closeAndEnd(QStringLiteral("Staff Only - Kestrel")));
}

void TestEveryday::signInLoopEndsAfterOneCancel()
{
    // A page that keeps adding frames its server refuses without a password.
    m_server.answer = [](const QString &path, const QByteArray &) -> QByteArray {
        if (!path.startsWith(QLatin1String("/vault")))
            return {};
        return "HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"Vault\"\r\nContent-Type: text/html\r\n"
               "Content-Length: 7\r\nConnection: close\r\n\r\nRefused";
    };
    m_server.page(QStringLiteral("/loop.html"),
                  "<title>Loop</title><script>var i=0;setInterval(function(){var f=document.createElement('iframe');"
                  "f.src='/vault?'+(++i);document.body.appendChild(f)},150)</script>");
    auto vaultHits = [this] { return m_server.requests.filter(QStringLiteral("/vault")).size(); };
    TempIni ini("[Settings]\r\n");
    const QString signIn = QStringLiteral("Sign In");
    auto kestrel = start(signIn, m_server.url(QStringLiteral("/loop.html")));
    QVERIFY(kestrel && User::focusWindow(signIn));
    User::key(QStringLiteral("Escape"));
    // The page asks on and on; the user is not asked again.
    const int hitsAtCancel = vaultHits();
    bool askedAgain = false;
    (void)QTest::qWaitFor([&] { return (askedAgain = User::captions().contains(signIn)) || vaultHits() >= hitsAtCancel + 10; },
                    20000);
    QVERIFY(!askedAgain);
    QVERIFY(vaultHits() >= hitsAtCancel + 10);
    // Until the user goes somewhere: the same page again.
    QVERIFY(User::focusWindow(QStringLiteral("Loop - Kestrel")));
    User::key(QStringLiteral("F5"));
    QVERIFY(User::waitForCaption(signIn));
    // The close box works with the question up, and answers it.
    QVERIFY(kestrel->closeAndEnd(QStringLiteral("Loop - Kestrel")));
}

void TestEveryday::permissionRequestsAreAnsweredEitherWay()
{
    // Granted, the page sends a storm of notifications with markup in them. It
    // sees itself shrink when a bar above it asks the user.
    m_server.page(QStringLiteral("/ask.html"),
                  "<title>Ask</title><script>var n=0,h=innerHeight;"
                  "onresize=function(){if(innerHeight<h)document.title='Asked'}</script><body style='margin:0'>"
                  "<button style='width:100vw;height:100vh' onclick=\"Notification.requestPermission()"
                  ".then(function(r){document.title='Answer '+r+' '+(++n);if(r=='granted')for(var i=0;i<30;i++)"
                  "new Notification('<b>Bold</b> '+i,{body:'<i>it</i> & co'})})\">Ask</button>");
    TempIni ini("[Settings]\r\n");
    QProcess daemon;
    daemon.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                 QStringLiteral("--print-address=1")});
    if (!daemon.waitForReadyRead(10000))
        QSKIP("no dbus-daemon here");
    const QByteArray address = daemon.readLine().trimmed();
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    QDBusConnection bus = QDBusConnection::connectToBus(QString::fromLatin1(address), QStringLiteral("desktop"));
    FakeNotificationService desktop;
    QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &desktop,
                               QDBusConnection::ExportAllSlots));
    const QString url = m_server.url(QStringLiteral("/ask.html"));
    const QString asked = QStringLiteral("Asked - Kestrel");
    {
        // No notification service on the desktop: nobody is asked, the page is refused.
        auto kestrel = start(QStringLiteral("Ask - Kestrel"), url);
        QVERIFY(kestrel);
        User::clickWindow(QStringLiteral("Ask - Kestrel"), QPoint(400, 500));
        QVERIFY(User::waitForCaption(QStringLiteral("Answer denied 1 - Kestrel")));
        QVERIFY(kestrel->closeAndEnd(QStringLiteral("Answer denied 1 - Kestrel")));
    }
    QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.Notifications")));
    // Asked, answered with `key`; the page is told `answer`.
    auto askAndAnswer = [&](const char *key, const QString &answer) {
        auto kestrel = start(QStringLiteral("Ask - Kestrel"), url);
        if (!kestrel)
            return kestrel;
        User::clickWindow(QStringLiteral("Ask - Kestrel"), QPoint(400, 500));
        if (!User::waitForCaption(asked) || !User::focusWindow(asked))
            return decltype(kestrel)();
        User::key(QString::fromLatin1(key));
        return User::waitForCaption(answer) ? std::move(kestrel) : nullptr;
    };
    {
        auto kestrel = askAndAnswer("alt+n", QStringLiteral("Answer denied 1 - Kestrel"));
        QVERIFY(kestrel);
        // The site asks again: the answer stands, nobody is asked.
        User::clickWindow(QStringLiteral("Answer denied 1 - Kestrel"), QPoint(400, 500));
        QVERIFY(User::waitForCaption(QStringLiteral("Answer denied 2 - Kestrel")));
        QVERIFY(kestrel->closeAndEnd(QStringLiteral("Answer denied 2 - Kestrel")));
    }
    // A new run asks afresh.
    auto kestrel = askAndAnswer("alt+a", QStringLiteral("Answer granted 1 - Kestrel"));
    QVERIFY(kestrel);
    // A few reach the desktop, as the page wrote them, the site first.
    QTRY_COMPARE_WITH_TIMEOUT(desktop.summaries.size(), 3, 20000);
    QTest::qWait(1500);
    QCOMPARE(desktop.summaries.size(), 3);
    QCOMPARE(desktop.summaries.first(), QStringLiteral("127.0.0.1: <b>Bold</b> 0"));
    QCOMPARE(desktop.bodies.first(), QStringLiteral("&lt;i&gt;it&lt;/i&gt; &amp; co"));
    QVERIFY(kestrel->closeAndEnd(QStringLiteral("Answer granted 1 - Kestrel")));
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    daemon.kill();
    daemon.waitForFinished();
}

void TestEveryday::pageFillsTheScreenOnAClickAndEscapeLeaves()
{
    m_server.page(QStringLiteral("/screen.html"),
                  "<title>Screen</title><body style='margin:0;background:#2a7f3c'>"
                  "<button style='width:50vw;height:50vh' onclick='document.documentElement.requestFullscreen()'>Full</button>"
                  "<script>document.onfullscreenchange=function(){"
                  "document.title=document.fullscreenElement?'Full':'Normal'}</script>");
    TempIni ini("[Settings]\r\n");
    auto kestrel = start(QStringLiteral("Screen - Kestrel"), m_server.url(QStringLiteral("/screen.html")));
    QVERIFY(kestrel);
    // The far corner of the screen lies outside the browser window until
    // the page fills the screen.
    auto cornerIsPage = [this] {
        XImage *img = XGetImage(m_display, DefaultRootWindow(m_display), 1270, 1010, 1, 1, AllPlanes, ZPixmap);
        const bool page = img && (XGetPixel(img, 0, 0) & 0xffffff) == 0x2a7f3c;
        if (img)
            XDestroyImage(img);
        return page;
    };
    QVERIFY(!cornerIsPage());
    User::clickWindow(QStringLiteral("Screen - Kestrel"), QPoint(150, 150));
    QVERIFY(User::waitForCaption(QStringLiteral("Full - Kestrel")));
    QTRY_VERIFY_WITH_TIMEOUT(cornerIsPage(), 20000);
    // The full-screen window keeps the caption the page had when it asked.
    QVERIFY(User::focusWindow(QStringLiteral("Screen - Kestrel")));
    User::key(QStringLiteral("Escape"));
    QVERIFY(User::waitForCaption(QStringLiteral("Normal - Kestrel")));
    QTRY_VERIFY_WITH_TIMEOUT(!cornerIsPage(), 20000);
    QVERIFY(kestrel->closeAndEnd(QStringLiteral("Normal - Kestrel")));
}

// The page tells its width in CSS pixels in its title: zooming in narrows it.
void TestEveryday::zoomIsKeptPerSiteAcrossRuns()
{
    m_server.page(QStringLiteral("/width.html"),
                  "<script>function t() { document.title = 'Width ' + innerWidth }\nonresize = t</script>"
                  "<body onload='t()'>How wide am I?</body>");
    TempIni ini("[Settings]\r\n");
    const QString site = m_server.url(QStringLiteral("/width.html"));
    auto width = [] {
        const QStringList shown = User::captions().filter(QRegularExpression(QStringLiteral("^Width \\d+ - Kestrel$")));
        return shown.isEmpty() ? -1 : shown.first().section(QLatin1Char(' '), 1, 1).toInt();
    };
    auto caption = [](int w) { return QStringLiteral("Width %1 - Kestrel").arg(w); };
    auto kestrel = std::make_unique<Kestrel>(m_home->path(), QStringList{site});
    QTRY_VERIFY_WITH_TIMEOUT(width() > 0, 30000);
    const int actual = width();
    User::clickWindow(caption(actual), QPoint(400, 500));

    // Ctrl+= (no Shift), then Ctrl and the wheel over the page.
    User::key(QStringLiteral("ctrl+equal"));
    QTRY_VERIFY_WITH_TIMEOUT(width() > 0 && width() < actual, 10000);
    const int oneStep = width();
    User::hold(QStringLiteral("Control_L"), true);
    User::clickWindow(caption(oneStep), QPoint(400, 500), 4);
    User::hold(QStringLiteral("Control_L"), false);
    QTRY_VERIFY_WITH_TIMEOUT(width() > 0 && width() < oneStep, 10000);
    const int zoomed = width();

    // Another site keeps its own size.
    User::key(QStringLiteral("ctrl+l"));
    User::type(QString(site).replace(QLatin1String("127.0.0.1"), QLatin1String("localhost")));
    User::key(QStringLiteral("Return"));
    QVERIFY(User::waitForCaption(caption(actual)));
    QVERIFY(kestrel->closeAndEnd(caption(actual)));

    // The next run opens the site as it was left; Ctrl+0 gives the page's own size back.
    kestrel = std::make_unique<Kestrel>(m_home->path(), QStringList{site});
    QVERIFY(User::waitForCaption(caption(zoomed), 30000));
    User::clickWindow(caption(zoomed), QPoint(400, 500));
    User::key(QStringLiteral("ctrl+0"));
    QVERIFY(User::waitForCaption(caption(actual)));
    QVERIFY(kestrel->closeAndEnd(caption(actual)));
}

void TestEveryday::untrustedCertificateIsNamedAndOpensOnlyByChoice()
{
    // A site with a certificate of its own making, as a test server or an
    // attacker has.
    const QString dir = m_home->path();
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"), {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj",
                                              "/CN=127.0.0.1", "-keyout", dir + "/key.pem", "-out", dir + "/cert.pem"});
    if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0)
        QSKIP("openssl cannot make a certificate here");
    QFile page(dir + QStringLiteral("/secret.html"));
    QVERIFY(page.open(QIODevice::WriteOnly) && page.write("<title>Secret Page</title>") > 0);
    page.close();
    QProcess tls;
    const QString port = python(tls, "H = http.server.SimpleHTTPRequestHandler\n", dir, true);
    if (port.isEmpty())
        QSKIP("python3 cannot serve TLS here");
    TempIni ini("[Settings]\r\n");
    const QString question = QStringLiteral("Certificate Not Trusted");
    // Either answer to the question, and the caption that follows it.
    for (auto [key, caption] : {std::pair{"Escape", "Certificate not trusted - Kestrel"},
                                std::pair{"alt+o", "Secret Page - Kestrel"}}) {
        auto kestrel = start(question, QStringLiteral("https://127.0.0.1:%1/secret.html").arg(port));
        QVERIFY(kestrel && User::focusWindow(question));
        User::key(QString::fromLatin1(key));
        QVERIFY(User::waitForCaption(QString::fromLatin1(caption)));
        QVERIFY(kestrel->closeAndEnd(QString::fromLatin1(caption)));
    }
    tls.kill();
    tls.waitForFinished();
}

QTEST_GUILESS_MAIN(TestEveryday)
#include "tst_e2e_everyday.moc"
