#include "EngineTest.h"

#include "window/StatusPanels.h"

#include <QAccessible>
#include <QDBusConnection>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

// What a screen reader says for a window's control, or nothing when it is hidden.
QString heard(const QWidget *control)
{
    QAccessibleInterface *a = control ? QAccessible::queryAccessibleInterface(const_cast<QWidget *>(control)) : nullptr;
    return a && !a->state().invisible ? a->text(QAccessible::Name) : QString();
}

QString siteOf(MainWindow *w)
{
    return heard(control<QLabel>(w, "lblSite"));
}

QList<QWidget *> permissionBars(MainWindow *w)
{
    QList<QWidget *> shownBars;
    for (QWidget *bar : w->findChildren<QWidget *>(QStringLiteral("PermissionBar")))
        if (bar->isVisible())
            shownBars << bar;
    return shownBars;
}

// The user types an address into the window's address box and presses Enter.
void goTo(MainWindow *w, const QString &address)
{
    QVERIFY(User::focus(w));
    User::key(QStringLiteral("ctrl+l"));
    User::type(address);
    User::key(QStringLiteral("Return"));
}

} // namespace

// A page cannot trap, fool or race the user: its questions never stack or
// hold the window (sign-in, which waits in a loop of its own, is tried on
// the program itself), untrusted certificates are asked about one at a time and
// only for the page itself, the window names the page's site where the page
// cannot write, and a file is no key to the user's other files.
class TestPageTrust : public EngineTest
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void permissionStormAsksOncePerSiteAndUse();
    void untrustedImagesAreBlockedWithoutAQuestion();
    void acceptedCertificateDoesNotOpenAnotherPort();
    void localPageCannotReadOtherFiles();
    void fullScreenNamesTheSite();

private:
    // A TLS server for the files of m_dir, with certificate `name`.pem, on
    // every loopback address; its port.
    QString serveTls(QProcess &server, const QString &name);

    QTemporaryDir m_dir;
    bool m_notificationService = false;
    QProcess m_selfSigned, m_expired;
    QString m_selfSignedPort, m_expiredPort;
};

QString TestPageTrust::serveTls(QProcess &server, const QString &name)
{
    const QString script = QStringLiteral(
        "import http.server, ssl\n"
        "class H(http.server.SimpleHTTPRequestHandler):\n"
        "    def log_message(self, *a): pass\n"
        "http.server.ThreadingHTTPServer.request_queue_size = 128\n"
        "s = http.server.ThreadingHTTPServer(('0.0.0.0', 0), H)\n"
        "c = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)\n"
        "c.load_cert_chain('%1.pem', '%1.key')\n"
        "s.socket = c.wrap_socket(s.socket, server_side=True, do_handshake_on_connect=False)\n"
        "print(s.server_address[1], flush=True)\n"
        "s.serve_forever()\n").arg(name);
    server.setWorkingDirectory(m_dir.path());
    server.start(QStringLiteral("python3"), {QStringLiteral("-c"), script});
    return server.waitForReadyRead(20000) ? QString::fromLatin1(server.readLine().trimmed()) : QString();
}

void TestPageTrust::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QDBusConnection desktop = QDBusConnection::connectToBus(QString::fromLocal8Bit(qgetenv("DBUS_SESSION_BUS_ADDRESS")),
                                                            QStringLiteral("desktop"));
    m_notificationService = desktop.registerService(QStringLiteral("org.freedesktop.Notifications"));
    // Made by the site itself, as a test server or an attacker has; and one
    // that expired as it was made.
    const QStringList key = {"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-subj", "/CN=127.0.0.1"};
    const QList<QStringList> steps = {
        QStringList{"req", "-x509", "-days", "1", "-keyout", "self.key", "-out", "self.pem"} + key,
        QStringList{"req", "-new", "-keyout", "expired.key", "-out", "expired.csr"} + key,
        {"x509", "-req", "-in", "expired.csr", "-signkey", "expired.key", "-days", "-1", "-out", "expired.pem"}};
    for (const QStringList &step : steps) {
        QProcess openssl;
        openssl.setWorkingDirectory(m_dir.path());
        openssl.start(QStringLiteral("openssl"), step);
        if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0)
            QSKIP("openssl cannot make a certificate here");
    }
    QFile page(m_dir.filePath(QStringLiteral("secret.html")));
    QVERIFY(page.open(QIODevice::WriteOnly) && page.write("<title>Secret Page</title>") > 0);
    page.close();
    QImage(8, 8, QImage::Format_RGB32).save(m_dir.filePath(QStringLiteral("pic.png")));
    m_selfSignedPort = serveTls(m_selfSigned, QStringLiteral("self"));
    m_expiredPort = serveTls(m_expired, QStringLiteral("expired"));
    if (m_selfSignedPort.isEmpty() || m_expiredPort.isEmpty())
        QSKIP("python3 cannot serve TLS here");
}

void TestPageTrust::cleanupTestCase()
{
    for (QProcess *p : {&m_selfSigned, &m_expired}) {
        p->kill();
        p->waitForFinished();
    }
}

void TestPageTrust::permissionStormAsksOncePerSiteAndUse()
{
    // Without a service to show them, notifications are refused unasked.
    if (!m_notificationService)
        QSKIP("no session bus for a notification service here");
    server.page(QStringLiteral("/storm.html"),
                "<title>Storm</title><script>var n=0,g=0;"
                "function show(){document.title='Notifications '+n+', location '+g}"
                "for(var i=0;i<100;i++){Notification.requestPermission().then(function(r){if(r=='denied')n++;show()});"
                "navigator.geolocation.getCurrentPosition(function(){},function(){g++;show()})}</script>");
    server.page(QStringLiteral("/calm.html"), "<title>Calm</title>");
    const QString site = QStringLiteral("127.0.0.1:%1").arg(QUrl(server.url({})).port());
    MainWindow *w = openWindow();
    w->view()->navigate(server.url(QStringLiteral("/storm.html")));
    // Two hundred requests: one bar for each use, in the window, and no box.
    QVERIFY(User::waitFor([w] { return permissionBars(w).size() == 2; }));
    QVERIFY(!User::waitFor([w] { return permissionBars(w).size() != 2; }, 1000));
    QVERIFY(!QApplication::activeModalWidget());
    QWidget *notifications = nullptr;
    for (QWidget *bar : permissionBars(w))
        if (heard(bar->findChild<QLabel *>()) == site + QStringLiteral(" wants to show notifications."))
            notifications = bar;
    QVERIFY(notifications);
    // One Deny answers all hundred requests.
    User::click(notifications->findChild<QPushButton *>(QStringLiteral("cmdDeny")));
    const QString allDenied = QStringLiteral("Notifications 100, location 0 - Kestrel");
    QVERIFY2(User::waitFor([&] { return w->windowTitle() == allDenied; }), qPrintable(w->windowTitle()));
    QCOMPARE(permissionBars(w).size(), 1);
    // The page the user leaves asks nothing any more.
    goTo(w, server.url(QStringLiteral("/calm.html")));
    QVERIFY(User::waitFor([w] { return w->windowTitle() == QStringLiteral("Calm - Kestrel") && permissionBars(w).isEmpty(); }));
    // Back on the storm, the answer given stands, the open question is asked
    // again, and the close box closes the window with it up.
    goTo(w, server.url(QStringLiteral("/storm.html")));
    QVERIFY(User::waitFor([&] { return w->windowTitle() == allDenied && permissionBars(w).size() == 1; }));
    User::close(w);
    QVERIFY(User::waitFor([] { return openMainWindows().isEmpty(); }, 10000));
}

void TestPageTrust::untrustedImagesAreBlockedWithoutAQuestion()
{
    QByteArray images;
    for (int host = 2; host <= 41; ++host)
        images += "<img src='https://127.0.0." + QByteArray::number(host) + ":" + m_selfSignedPort.toLatin1() + "/pic.png'>";
    server.page(QStringLiteral("/gallery.html"), "<title>Gallery</title>" + images);
    MainWindow *w = openWindow();
    w->view()->navigate(server.url(QStringLiteral("/gallery.html")));
    auto *status = control<StatusPanels>(w, "StatusBar");
    QVERIFY(User::waitFor([&] {
        return shown<QMessageBox>(QStringLiteral("CertificateWarning"))
               || status->panelText(1).contains(QStringLiteral("and 37 more"));
    }));
    QVERIFY2(!shown<QMessageBox>(QStringLiteral("CertificateWarning")), "a part of the page asked");
    QVERIFY2(status->panelText(1).startsWith(QStringLiteral("Done; blocked parts whose certificate is not trusted, "
                                                            "from 127.0.0.")),
             qPrintable(status->panelText(1)));
    QCOMPARE(w->windowTitle(), QStringLiteral("Gallery - Kestrel"));
    QCOMPARE(siteOf(w), QStringLiteral("Not secure: 127.0.0.1:%1").arg(QUrl(server.url({})).port()));
    User::close(w);
    QVERIFY(User::waitFor([] { return openMainWindows().isEmpty(); }, 10000));
}

void TestPageTrust::acceptedCertificateDoesNotOpenAnotherPort()
{
    MainWindow *w = openWindow();
    goTo(w, QStringLiteral("https://127.0.0.1:%1/secret.html").arg(m_selfSignedPort));
    QMessageBox *question = nullptr;
    auto asked = [&question] { return (question = shown<QMessageBox>(QStringLiteral("CertificateWarning"))); };
    QVERIFY(User::waitFor(asked));
    User::click(question->findChild<QPushButton *>(QStringLiteral("cmdOpenAnyway")));
    const QString accepted = QStringLiteral("Certificate not trusted: 127.0.0.1:%1").arg(m_selfSignedPort);
    QVERIFY(User::waitFor([&] { return w->windowTitle() == QStringLiteral("Secret Page - Kestrel") && siteOf(w) == accepted; }));

    // The same host on another port, with a certificate that has expired.
    goTo(w, QStringLiteral("https://127.0.0.1:%1/secret.html").arg(m_expiredPort));
    QVERIFY(User::waitFor(asked));
    QVERIFY2(question->text().contains(QStringLiteral("127.0.0.1:") + m_expiredPort), qPrintable(question->text()));
    // While it is asked, the page shown is still the one committed before.
    QCOMPARE(siteOf(w), accepted);
    QVERIFY(!QApplication::activeModalWidget());
    User::close(w);
    QVERIFY(User::waitFor([] { return openMainWindows().isEmpty() && !shown<QMessageBox>(QStringLiteral("CertificateWarning")); }, 10000));
}

void TestPageTrust::localPageCannotReadOtherFiles()
{
    // A saved attachment that tries to read the file beside it.
    QTemporaryDir folder;
    QFile secret(folder.filePath(QStringLiteral("secret.txt")));
    QVERIFY(secret.open(QIODevice::WriteOnly) && secret.write("the secret words") > 0);
    secret.close();
    QImage green(40, 40, QImage::Format_RGB32);
    green.fill(QColor(0x1f, 0x8f, 0x4f));
    QVERIFY(green.save(folder.filePath(QStringLiteral("green.png"))));
    QFile page(folder.filePath(QStringLiteral("page.html")));
    QVERIFY(page.open(QIODevice::WriteOnly));
    page.write("<title>Reading</title><body style='margin:0'><img src='green.png' width=300 height=300><script>"
               "var got=[];function done(){document.title=got.length?'read: '+got.join(' | '):'blocked'}"
               "function tryFrame(){var f=document.createElement('iframe');f.src='secret.txt';"
               "f.onload=function(){try{got.push('framed '+f.contentDocument.body.innerText)}catch(e){}done()};"
               "document.body.appendChild(f);setTimeout(done,3000)}"
               "fetch('secret.txt').then(function(r){return r.text()}).then(function(t){got.push('fetched '+t)},"
               "function(){}).finally(function(){var x=new XMLHttpRequest();"
               "x.onload=function(){got.push('read '+x.responseText);tryFrame()};x.onerror=tryFrame;"
               "try{x.open('GET','secret.txt');x.send()}catch(e){tryFrame()}})</script>");
    page.close();
    MainWindow *w = openWindow();
    goTo(w, page.fileName());
    // The page names what it got in its title.
    QVERIFY(User::waitFor([w] { return QRegularExpression(QStringLiteral("^(read|blocked)")).match(w->windowTitle()).hasMatch(); }));
    QCOMPARE(w->windowTitle(), QStringLiteral("blocked - Kestrel"));
    QCOMPARE(siteOf(w), page.fileName());
    QVERIFY(User::waitFor([w] { return User::count(User::look(w->view()->widget()), QColor(0x1f, 0x8f, 0x4f)) > 200 * 200; }, 10000));
}

void TestPageTrust::fullScreenNamesTheSite()
{
    // A title made to look like the site of a bank.
    server.page(QStringLiteral("/screen.html"),
                "<title>https://www.mybank.example</title><body style='margin:0'>"
                "<button style='width:100vw;height:100vh' onclick='document.documentElement.requestFullscreen()'>"
                "Full</button>");
    MainWindow *w = openWindow();
    w->view()->navigate(server.url(QStringLiteral("/screen.html")));
    const QString site = QStringLiteral("127.0.0.1:%1").arg(QUrl(server.url({})).port());
    QVERIFY(User::waitFor([&] {
        return w->windowTitle() == QStringLiteral("https://www.mybank.example - Kestrel")
               && siteOf(w) == QStringLiteral("Not secure: ") + site;
    }));
    QVERIFY(User::focus(w));
    User::click(w->view()->widget());
    QWidget *full = nullptr;
    QVERIFY(User::waitFor([&full] { return (full = shown<QWidget>(QStringLiteral("FullScreen"))); }, 10000));
    auto *notice = full->findChild<QLabel *>(QStringLiteral("FullScreenNotice"));
    QVERIFY(notice && User::waitFor([notice] { return notice->isVisible(); }));
    QCOMPARE(heard(notice), site + QStringLiteral(" is now full screen: press Esc to leave"));
    QVERIFY(full->rect().contains(notice->geometry()));
    User::key(QStringLiteral("Escape"));
    QVERIFY(User::waitFor([] { return !shown<QWidget>(QStringLiteral("FullScreen")); }, 10000));
}

int main(int argc, char **argv)
{
    // A desktop with a notification service, on a session bus of the test's
    // own, so that pages may ask to show notifications.
    QProcess bus;
    bus.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                              QStringLiteral("--print-address=1")});
    if (bus.waitForReadyRead(10000))
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus.readLine().trimmed());
    const int failed = runWithRealEngine<TestPageTrust>(argc, argv);
    bus.kill();
    bus.waitForFinished();
    return failed;
}

#include "tst_e2e_page_trust.moc"
