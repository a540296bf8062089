#include "E2eSupport.h"
#include "UserInput.h"
#include "TempIni.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// The real program in a home of its own, as a user starts it.
class Kestrel
{
public:
    Kestrel(const QString &home, const QStringList &args = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home);
        for (const char *xdg : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME", "XDG_DOWNLOAD_DIR"})
            env.remove(QString::fromLatin1(xdg));
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QString::fromLocal8Bit(qgetenv("KESTREL_BIN")), args);
    }
    ~Kestrel()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    // Closes the window as its close box does and waits for the program to end.
    bool closeAndEnd(const QString &caption)
    {
        if (!X11::requestClose(caption))
            return false;
        return m_process.waitForFinished(20000) && m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
    }
    QProcess m_process;
};

bool shown(const QString &caption)
{
    return X11::windowTitles().contains(caption);
}

// A click at x, y of the window's inside, through the X server.
void click(const QString &caption, int x, int y, int button = 1)
{
    QVERIFY2(shown(caption), qPrintable(caption));
    User::clickWindow(caption, QPoint(x, y), button);
}

// Gives the window the keyboard and types into wherever the program put its
// focus: "<key>" presses a key, anything else is typed.
void typeInto(const QString &caption, const QStringList &keys)
{
    QVERIFY2(shown(caption), qPrintable(caption));
    User::focusWindow(caption);
    for (const QString &k : keys) {
        if (k.startsWith(QLatin1Char('<')))
            User::key(k.mid(1, k.size() - 2));
        else
            User::type(k);
    }
}

QByteArray headOf(const LocalServer &server, const QString &path)
{
    for (qsizetype i = server.requests.size() - 1; i >= 0; --i) {
        if (server.requests[i] == path)
            return server.heads[i];
    }
    return {};
}

} // namespace

// Everyday browsing with the real program: what a user does, checked by what
// leaves the program (files, the server's log) and what the window shows.
class TestEveryday : public QObject
{
    Q_OBJECT
private slots:
    // The X server starts afresh when its last client leaves, and refuses
    // connections meanwhile: between two runs of the program, this one stays.
    void initTestCase() { QVERIFY((m_display = XOpenDisplay(nullptr))); }
    void cleanupTestCase() { XCloseDisplay(m_display); }
    void init() { QVERIFY(m_home.isValid()); }

    void cookiesOutliveTheProgram();
    void addressesGivenToTheProgramOpenInWindowsOfTheirOwn();
    void attachmentsLandInDownloadsWithoutOverwriting();
    void downloadOutlivesItsWindow();
    void signInSendsTheTypedCredentialsAndCancelShowsTheRefusal();
    void permissionRequestsAreAnsweredEitherWay();
    void pageFillsTheScreenOnAClickAndEscapeLeaves();
    void untrustedCertificateIsNamedAndOpensOnlyByChoice();

private:
    Display *m_display = nullptr;
    QTemporaryDir m_home;
    LocalServer m_server;
};

void TestEveryday::cookiesOutliveTheProgram()
{
    m_server.page(QStringLiteral("/signin.html"), "<title>Signed In</title>", "text/html",
                  "Set-Cookie: visitor=kestrel42; Max-Age=3600; Path=/\r\n");
    m_server.page(QStringLiteral("/again.html"), "<title>Welcome Back</title>");
    TempIni ini("[Settings]\r\nDoStartup=False\r\nStartup=Continue\r\nLastURL="
                + m_server.url(QStringLiteral("/signin.html")).toUtf8() + "\r\n");
    {
        Kestrel first(m_home.path());
        QTRY_VERIFY_WITH_TIMEOUT(shown(QStringLiteral("Signed In - Kestrel")), 30000);
        QVERIFY(first.closeAndEnd(QStringLiteral("Signed In - Kestrel")));
    }
    ini.write("[Settings]\r\nDoStartup=False\r\nStartup=Continue\r\nLastURL="
              + m_server.url(QStringLiteral("/again.html")).toUtf8() + "\r\n");
    Kestrel second(m_home.path());
    QTRY_VERIFY_WITH_TIMEOUT(shown(QStringLiteral("Welcome Back - Kestrel")), 30000);
    QVERIFY2(headOf(m_server, QStringLiteral("/again.html")).contains("\r\nCookie: visitor=kestrel42"),
             headOf(m_server, QStringLiteral("/again.html")).constData());
    QVERIFY(second.closeAndEnd(QStringLiteral("Welcome Back - Kestrel")));
    QVERIFY(QDir(m_home.path() + QStringLiteral("/.local/share/Kestrel")).exists());
    QVERIFY(QDir(m_home.path() + QStringLiteral("/.cache/Kestrel")).exists());
}

void TestEveryday::addressesGivenToTheProgramOpenInWindowsOfTheirOwn()
{
    m_server.page(QStringLiteral("/one.html"), "<title>Link One</title>");
    m_server.page(QStringLiteral("/two.html"), "<title>Link Two</title>");
    // A first start: the start-up dialog would ask, but a link is waiting.
    TempIni ini("[Settings]\r\n");
    Kestrel kestrel(m_home.path(), {m_server.url(QStringLiteral("/one.html")), m_server.url(QStringLiteral("/two.html"))});
    QTRY_VERIFY_WITH_TIMEOUT(shown(QStringLiteral("Link One - Kestrel")) && shown(QStringLiteral("Link Two - Kestrel")), 30000);
    QVERIFY(!shown(QStringLiteral("Welcome to Kestrel")));
    QCOMPARE(X11::windowTitles().filter(QStringLiteral(" - Kestrel")).size(), 2);
    QVERIFY(X11::requestClose(QStringLiteral("Link One - Kestrel")));
    QVERIFY(kestrel.closeAndEnd(QStringLiteral("Link Two - Kestrel")));
}

void TestEveryday::attachmentsLandInDownloadsWithoutOverwriting()
{
    QByteArray report;
    for (int i = 0; i < 300000; ++i)
        report += char(i * 7 % 256); // every byte value, NUL included
    m_server.page(QStringLiteral("/report.pdf"), report, "application/pdf",
                  "Content-Disposition: attachment; filename=\"report.pdf\"\r\n");
    m_server.page(QStringLiteral("/files.html"),
                  "<title>Files</title><body style='margin:0'><a href='/report.pdf' "
                  "style='display:block;width:100vw;height:100vh'>Report</a>");
    TempIni ini("[Settings]\r\n");
    Kestrel kestrel(m_home.path(), {m_server.url(QStringLiteral("/files.html"))});
    const QString caption = QStringLiteral("Files - Kestrel");
    QTRY_VERIFY_WITH_TIMEOUT(shown(caption), 30000);
    const QDir downloads(m_home.path() + QStringLiteral("/Downloads"));
    auto bytes = [&downloads](const QString &name) {
        QFile f(downloads.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    QTest::qWait(500);
    click(caption, 400, 500);
    QTRY_COMPARE_WITH_TIMEOUT(bytes(QStringLiteral("report.pdf")), report, 20000);
    click(caption, 400, 500);
    QTRY_COMPARE_WITH_TIMEOUT(bytes(QStringLiteral("report (1).pdf")), report, 20000);
    QCOMPARE(bytes(QStringLiteral("report.pdf")), report);
    // The page's menu: Reload, Save page, Open link in new tab, ... in new
    // window, Save link.
    click(caption, 400, 500, 3);
    QTest::qWait(500);
    for (int i = 0; i < 5; ++i)
        User::key(QStringLiteral("Down"));
    User::key(QStringLiteral("Return"));
    QTRY_COMPARE_WITH_TIMEOUT(bytes(QStringLiteral("report (2).pdf")), report, 20000);
    QVERIFY(kestrel.closeAndEnd(caption));
}

void TestEveryday::downloadOutlivesItsWindow()
{
    // A slow file: 20 pieces of 50 kB, a tenth of a second apart.
    QProcess slow;
    slow.start(QStringLiteral("python3"), {"-c", R"(
import http.server, time
class Slow(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        self.send_response(200)
        self.send_header("Content-Disposition", "attachment; filename=slow.bin")
        self.send_header("Content-Length", str(20 * 50000))
        self.end_headers()
        for i in range(20):
            self.wfile.write(bytes([65 + i]) * 50000)
            self.wfile.flush()
            time.sleep(0.1)
server = http.server.HTTPServer(("127.0.0.1", 0), Slow)
print(server.server_address[1], flush=True)
server.serve_forever()
)"});
    if (!slow.waitForReadyRead(20000))
        QSKIP("python3 cannot serve here");
    const QByteArray port = slow.readLine().trimmed();
    m_server.page(QStringLiteral("/slow.html"), "<title>Slow</title><body style='margin:0'><a href='http://127.0.0.1:"
                      + port + "/slow.bin' style='display:block;width:100vw;height:100vh'>Slow</a>");
    TempIni ini("[Settings]\r\n");
    Kestrel kestrel(m_home.path(), {m_server.url(QStringLiteral("/slow.html"))});
    QTRY_VERIFY_WITH_TIMEOUT(shown(QStringLiteral("Slow - Kestrel")), 30000);
    QTest::qWait(500);
    click(QStringLiteral("Slow - Kestrel"), 400, 500);
    const QDir downloads(m_home.path() + QStringLiteral("/Downloads"));
    QTRY_VERIFY_WITH_TIMEOUT(!downloads.entryList(QDir::Files).isEmpty(), 20000);
    QVERIFY(X11::requestClose(QStringLiteral("Slow - Kestrel")));
    QVERIFY(kestrel.m_process.waitForFinished(30000));
    QCOMPARE(kestrel.m_process.exitCode(), 0);
    QFile file(downloads.filePath(QStringLiteral("slow.bin")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray got = file.readAll();
    QCOMPARE(got.size(), 20 * 50000);
    QCOMPARE(got.back(), char(65 + 19));
    slow.kill();
    slow.waitForFinished();
}

void TestEveryday::signInSendsTheTypedCredentialsAndCancelShowsTheRefusal()
{
    m_server.answer = [](const QString &path, const QByteArray &head) -> QByteArray {
        if (path != QLatin1String("/staff.html"))
            return {};
        const QByteArray body = head.contains("\r\nAuthorization: Basic " + QByteArray("ann:s3cr<t").toBase64() + "\r\n")
                                    ? "<title>Staff Only</title>"
                                    : "<title>Keep Out</title>";
        const QByteArray status = body.contains("Keep") ? "401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"<b>Staff</b>\""
                                                        : "200 OK";
        return "HTTP/1.1 " + status + "\r\nContent-Type: text/html\r\nContent-Length: "
               + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    };
    TempIni ini("[Settings]\r\n");
    const QString url = m_server.url(QStringLiteral("/staff.html"));
    {
        Kestrel refused(m_home.path(), {url});
        QTRY_VERIFY_WITH_TIMEOUT(shown(QStringLiteral("Sign In")), 30000);
        typeInto(QStringLiteral("Sign In"), {QStringLiteral("<Escape>")});
        QTRY_VERIFY_WITH_TIMEOUT(shown(QStringLiteral("Keep Out - Kestrel")), 20000);
        QVERIFY(!shown(QStringLiteral("Sign In")));
        QVERIFY(refused.closeAndEnd(QStringLiteral("Keep Out - Kestrel")));
    }
    Kestrel kestrel(m_home.path(), {url});
    QTRY_VERIFY_WITH_TIMEOUT(shown(QStringLiteral("Sign In")), 30000);
    typeInto(QStringLiteral("Sign In"), {QStringLiteral("ann"), QStringLiteral("<Tab>"), QStringLiteral("s3cr<t"),
                                         QStringLiteral("<Return>")});
    QTRY_VERIFY_WITH_TIMEOUT(shown(QStringLiteral("Staff Only - Kestrel")), 20000);
    QVERIFY(kestrel.closeAndEnd(QStringLiteral("Staff Only - Kestrel")));
}

void TestEveryday::permissionRequestsAreAnsweredEitherWay()
{
    m_server.page(QStringLiteral("/ask.html"),
                  "<title>Ask</title><script>var n=0</script><body style='margin:0'>"
                  "<button style='width:100vw;height:100vh' onclick=\"Notification.requestPermission()"
                  ".then(function(r){document.title='Answer '+r+' '+(++n)})\">Ask</button>");
    TempIni ini("[Settings]\r\n");
    const QString url = m_server.url(QStringLiteral("/ask.html"));
    {
        Kestrel kestrel(m_home.path(), {url});
        QTRY_VERIFY_WITH_TIMEOUT(shown(QStringLiteral("Ask - Kestrel")), 30000);
        click(QStringLiteral("Ask - Kestrel"), 400, 500);
        QTRY_VERIFY_WITH_TIMEOUT(shown(QStringLiteral("Permission")), 20000);
        typeInto(QStringLiteral("Permission"), {QStringLiteral("<Escape>")});
        QTRY_VERIFY_WITH_TIMEOUT(shown(QStringLiteral("Answer denied 1 - Kestrel")), 20000);
        // The site asks again: the answer stands, nobody is asked.
        click(QStringLiteral("Answer denied 1 - Kestrel"), 400, 500);
        QTRY_VERIFY_WITH_TIMEOUT(shown(QStringLiteral("Answer denied 2 - Kestrel")), 20000);
        QVERIFY(!shown(QStringLiteral("Permission")));
        QVERIFY(kestrel.closeAndEnd(QStringLiteral("Answer denied 2 - Kestrel")));
    }
    // A new run asks afresh.
    Kestrel kestrel(m_home.path(), {url});
    QTRY_VERIFY_WITH_TIMEOUT(shown(QStringLiteral("Ask - Kestrel")), 30000);
    click(QStringLiteral("Ask - Kestrel"), 400, 500);
    QTRY_VERIFY_WITH_TIMEOUT(shown(QStringLiteral("Permission")), 20000);
    typeInto(QStringLiteral("Permission"), {QStringLiteral("<alt+a>")});
    QTRY_VERIFY_WITH_TIMEOUT(shown(QStringLiteral("Answer granted 1 - Kestrel")), 20000);
    QVERIFY(kestrel.closeAndEnd(QStringLiteral("Answer granted 1 - Kestrel")));
}

void TestEveryday::pageFillsTheScreenOnAClickAndEscapeLeaves()
{
    m_server.page(QStringLiteral("/screen.html"),
                  "<title>Screen</title><body style='margin:0;background:#2a7f3c'>"
                  "<button style='width:50vw;height:50vh' onclick='document.documentElement.requestFullscreen()'>Full</button>"
                  "<script>document.onfullscreenchange=function(){"
                  "document.title=document.fullscreenElement?'Full':'Normal'}</script>");
    TempIni ini("[Settings]\r\n");
    Kestrel kestrel(m_home.path(), {m_server.url(QStringLiteral("/screen.html"))});
    QTRY_VERIFY_WITH_TIMEOUT(shown(QStringLiteral("Screen - Kestrel")), 30000);
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
    click(QStringLiteral("Screen - Kestrel"), 150, 150);
    QTRY_VERIFY_WITH_TIMEOUT(shown(QStringLiteral("Full - Kestrel")), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(cornerIsPage(), 20000);
    typeInto(QStringLiteral("Screen - Kestrel"), {QStringLiteral("<Escape>")});
    QTRY_VERIFY_WITH_TIMEOUT(shown(QStringLiteral("Normal - Kestrel")), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(!cornerIsPage(), 20000);
    QVERIFY(kestrel.closeAndEnd(QStringLiteral("Normal - Kestrel")));
}

void TestEveryday::untrustedCertificateIsNamedAndOpensOnlyByChoice()
{
    // A site with a certificate of its own making, as a test server or an
    // attacker has.
    const QString dir = m_home.path();
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"), {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj",
                                              "/CN=127.0.0.1", "-keyout", dir + "/key.pem", "-out", dir + "/cert.pem"});
    if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0)
        QSKIP("openssl cannot make a certificate here");
    QProcess tls;
    tls.start(QStringLiteral("python3"), {"-c", R"(
import http.server, ssl, sys
class Page(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        body = b"<title>Secret Page</title>"
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)
server = http.server.HTTPServer(("127.0.0.1", 0), Page)
context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(sys.argv[1], sys.argv[2])
server.socket = context.wrap_socket(server.socket, server_side=True)
print(server.server_address[1], flush=True)
server.serve_forever()
)", dir + "/cert.pem", dir + "/key.pem"});
    if (!tls.waitForReadyRead(20000))
        QSKIP("python3 cannot serve TLS here");
    const QString url = QStringLiteral("https://127.0.0.1:%1/").arg(QString::fromLatin1(tls.readLine().trimmed()));
    TempIni ini("[Settings]\r\n");
    const QString question = QStringLiteral("Certificate Not Trusted");
    {
        Kestrel kestrel(m_home.path(), {url});
        QTRY_VERIFY_WITH_TIMEOUT(shown(question), 30000);
        typeInto(question, {QStringLiteral("<Escape>")});
        QTRY_VERIFY_WITH_TIMEOUT(shown(QStringLiteral("Certificate not trusted - Kestrel")), 20000);
        QVERIFY(kestrel.closeAndEnd(QStringLiteral("Certificate not trusted - Kestrel")));
    }
    Kestrel kestrel(m_home.path(), {url});
    QTRY_VERIFY_WITH_TIMEOUT(shown(question), 30000);
    typeInto(question, {QStringLiteral("<alt+o>")});
    QTRY_VERIFY_WITH_TIMEOUT(shown(QStringLiteral("Secret Page - Kestrel")), 20000);
    QVERIFY(kestrel.closeAndEnd(QStringLiteral("Secret Page - Kestrel")));
    tls.kill();
    tls.waitForFinished();
}

QTEST_GUILESS_MAIN(TestEveryday)
#include "tst_e2e_everyday.moc"
