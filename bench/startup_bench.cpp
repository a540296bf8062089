// What a user waits for and what the browser holds, against the bare view:
// both started as whole programs under the same X display, in turn, A B A B,
// each figure a median over the runs and each ratio the median of the runs'
// own ratios.
//
//   start-up       program start to the page drawn in its window
//   Ctrl+N         the key to the same page drawn in the second window
//   400 images     a page of 400 small images from 127.0.0.1, timed by the
//                  page itself (navigation start to its load event)
//   PSS            of the whole process tree: one blank window; one window
//                  on a served page; the same after 100 windows were opened
//                  with Ctrl+N and closed (read 10 s after the last close),
//                  with the pages the engine itself still counts then (its
//                  debugging server's list); 20 windows of one site
//
// Usage: startup_bench KESTREL BARE_VIEW [RUNS] [--favorites | --quick | --handover]
// --handover compares, in a running Kestrel, a second window opened by a
// later `kestrel URL` with one opened by Ctrl+N: time until it shows the
// page and the memory it adds. --favorites compares Kestrel on a store of 32767 favorites with Kestrel on
// none (start-up, Ctrl+N, blank window only); --quick leaves out the window
// churn and the 20 windows. Needs an X display (xvfb-run) and
// QTWEBENGINE_DISABLE_SANDBOX=1 as root.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

#include "BenchServer.h"
#include "ProcessTree.h"
#include "X11Windows.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <map>
#include <vector>

namespace {

Display *g_display = nullptr;

std::vector<Window> windowsTitled(const QString &title)
{
    std::vector<Window> out;
    for (Window w : x11ShownTopLevels(g_display)) {
        if (x11WindowTitle(g_display, w) == title)
            out.push_back(w);
    }
    return out;
}

// The page's background, looked for in the middle of the window: a title
// alone says the page loaded, not that it reached the screen.
constexpr unsigned long kPageColour = 0x2a7f3c;
constexpr char kPageHtml[] = "<!DOCTYPE html><title>Bench Page</title><body style='background:#2a7f3c'>"
                             "<h1>Bench Page</h1><p>A page of text for timing the first paint.</p>";
constexpr int kImages = 400;
constexpr int kChurnWindows = 100;
constexpr int kSiteWindows = 20;
// How long a program may take to give back what closed windows held.
constexpr int kSettleMs = 10000;

bool showsPage(Window w)
{
    XWindowAttributes a;
    if (!XGetWindowAttributes(g_display, w, &a))
        return false;
    XImage *img = XGetImage(g_display, w, a.width / 2, a.height / 2, 1, 1, AllPlanes, ZPixmap);
    if (!img)
        return false;
    const unsigned long pixel = XGetPixel(img, 0, 0) & 0xffffff;
    XDestroyImage(img);
    return pixel == kPageColour;
}

// Milliseconds until `count` windows carry `title` and, when `page` is set,
// each shows the page; -1 after 30 s.
double waitForWindows(const QString &title, size_t count, const QElapsedTimer &since, bool page,
                      const std::vector<Window> &older = {})
{
    // Windows already shown may lie under the new one: only new ones are looked at.
    auto shown = [&older](Window w) {
        return std::find(older.begin(), older.end(), w) != older.end() || showsPage(w);
    };
    while (since.elapsed() < 30000) {
        const std::vector<Window> found = windowsTitled(title);
        if (found.size() >= count && (!page || std::all_of(found.begin(), found.end(), shown)))
            return since.nsecsElapsed() / 1e6;
        QThread::usleep(2000);
    }
    return -1;
}

void focus(Window w, int settleMs = 300)
{
    XSetInputFocus(g_display, w, RevertToParent, CurrentTime);
    XSync(g_display, False);
    QThread::msleep(settleMs);
}

void pressCtrlN(Window w)
{
    XKeyEvent k{};
    k.display = g_display;
    k.window = w;
    k.root = DefaultRootWindow(g_display);
    k.same_screen = True;
    k.state = ControlMask;
    k.keycode = XKeysymToKeycode(g_display, XK_n);
    k.type = KeyPress;
    XSendEvent(g_display, w, True, KeyPressMask, reinterpret_cast<XEvent *>(&k));
    k.type = KeyRelease;
    XSendEvent(g_display, w, True, KeyReleaseMask, reinterpret_cast<XEvent *>(&k));
    XFlush(g_display);
}

// The close box, as a window manager passes it on.
void closeWindow(Window w)
{
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = w;
    ev.xclient.message_type = XInternAtom(g_display, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = long(XInternAtom(g_display, "WM_DELETE_WINDOW", False));
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(g_display, w, False, NoEventMask, &ev);
    XFlush(g_display);
}

struct Program
{
    QString exe;
    QString ini; // settings file for the browser, empty for the bare view
    QString suffix; // what the program adds to a page's title in its caption
    QStringList args; // for start-up: how the program starts on the bench page
    QString title() const { return QStringLiteral("Bench Page") + suffix; }
};

// Both programs keep what they store (the browser's profile) in a home of
// their own, kept across runs as a user's is.
QString g_home;

// One start of a program, ended with its whole process tree.
class Run
{
public:
    // `debugPort`, when set, opens the engine's own view of its pages there.
    Run(const Program &p, const QStringList &args, quint16 debugPort = 0)
    {
        // Each run is a plain start: the windows that the killed run before
        // left would otherwise come back.
        QFile::remove(g_home + QStringLiteral("/.local/share/Kestrel/session.dat"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (debugPort)
            env.insert(QStringLiteral("QTWEBENGINE_REMOTE_DEBUGGING"), QStringLiteral("127.0.0.1:%1").arg(debugPort));
        env.insert(QStringLiteral("HOME"), g_home);
        for (const char *xdg : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"})
            env.remove(QString::fromLatin1(xdg));
        if (!p.ini.isEmpty())
            env.insert(QStringLiteral("KESTREL_INI"), p.ini);
        m_proc.setProcessEnvironment(env);
        m_proc.setStandardOutputFile(QProcess::nullDevice());
        m_proc.setStandardErrorFile(QProcess::nullDevice());
        since.start();
        m_proc.start(p.exe, args);
        m_proc.waitForStarted();
        m_env = env;
    }
    // Starts the program again with `args` in the same environment, as a
    // later start from the desktop would; true when it ended well.
    bool startLater(const Program &p, const QStringList &args)
    {
        QProcess later;
        later.setProcessEnvironment(m_env);
        later.setStandardOutputFile(QProcess::nullDevice());
        later.setStandardErrorFile(QProcess::nullDevice());
        later.start(p.exe, args);
        return later.waitForFinished(10000) && later.exitCode() == 0;
    }
    ~Run()
    {
        for (qint64 pid : processTree(m_proc.processId()))
            ::kill(pid_t(pid), SIGKILL);
        m_proc.waitForFinished(5000);
        QThread::msleep(300);
    }
    double pssMb() const { return treePssKb(m_proc.processId()) / 1024.0; }
    double anonMb() const { return treePssKb(m_proc.processId(), "Pss_Anon:") / 1024.0; }
    // The program's own process, without the page processes it started.
    double browserPssMb() const { return processMemoryKb(m_proc.processId()) / 1024.0; }
    int processes() const { return int(processTree(m_proc.processId()).size()); }

    QElapsedTimer since;

private:
    QProcess m_proc;
    QProcessEnvironment m_env;
};

// A port no one listens on just now.
quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// How many pages the engine itself still counts, from its debugging
// server's list; -1 when it does not answer.
double enginePages(quint16 port)
{
    QTcpSocket s;
    s.connectToHost(QHostAddress::LocalHost, port);
    if (!s.waitForConnected(5000))
        return -1;
    s.write("GET /json/list HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
    QByteArray answer;
    while (s.waitForReadyRead(5000))
        answer += s.readAll();
    answer += s.readAll();
    if (!answer.startsWith("HTTP/1.1 200"))
        return -1;
    return answer.count("\"type\": \"page\"");
}

// Opens one more window with Ctrl+N in the first one; the new window's id,
// or None when it did not show the page within 30 s.
Window openAnother(const Program &p, int settleMs, double *ms = nullptr)
{
    const std::vector<Window> before = windowsTitled(p.title());
    if (before.empty())
        return None;
    focus(before.front(), settleMs);
    QElapsedTimer n;
    n.start();
    pressCtrlN(before.front());
    const double took = waitForWindows(p.title(), before.size() + 1, n, true, before);
    if (ms)
        *ms = took;
    if (took < 0)
        return None;
    for (Window w : windowsTitled(p.title())) {
        if (std::find(before.begin(), before.end(), w) == before.end())
            return w;
    }
    return None;
}

// Start-up and Ctrl+N on the file page.
void startAndCtrlN(const Program &p, double *start, double *ctrlN)
{
    Run run(p, p.args);
    *start = waitForWindows(p.title(), 1, run.since, true);
    if (*start < 0)
        return;
    QThread::msleep(500);
    openAnother(p, 300, ctrlN);
}

double blankWindowPss(const Program &p, const QString &blankTitle, const QStringList &args)
{
    Run run(p, args);
    if (waitForWindows(blankTitle, 1, run.since, false) < 0)
        return -1;
    QThread::msleep(3000); // let the page and the renderer settle
    return run.pssMb();
}

// The page's own time from navigation start to its load event, in ms.
double imagesLoad(const Program &p, const QString &url)
{
    Run run(p, {url});
    const QRegularExpression loaded(QStringLiteral("^Loaded (\\d+)"));
    while (run.since.elapsed() < 60000) {
        for (Window w : x11ShownTopLevels(g_display)) {
            const QRegularExpressionMatch m = loaded.match(x11WindowTitle(g_display, w));
            if (m.hasMatch())
                return m.captured(1).toDouble();
        }
        QThread::msleep(20);
    }
    return -1;
}

// Memory of one window on the served page, and of the same program after
// kChurnWindows more were opened and closed one after another.
struct Churn
{
    double fresh = -1, churned = -1; // PSS of the tree
    double freshAnon = -1, churnedAnon = -1; // its anonymous part
    double browser = -1; // PSS of the program's own process after
    double pages = -1; // pages the engine still counts after
};

Churn churn(const Program &p, const QString &url)
{
    Churn c;
    const quint16 debugPort = freePort();
    Run run(p, {url}, debugPort);
    if (waitForWindows(p.title(), 1, run.since, true) < 0)
        return c;
    QThread::msleep(3000);
    c.fresh = run.pssMb();
    c.freshAnon = run.anonMb();
    for (int i = 0; i < kChurnWindows; ++i) {
        const Window w = openAnother(p, 30);
        if (w == None)
            return c;
        closeWindow(w);
        QElapsedTimer gone;
        gone.start();
        while (windowsTitled(p.title()).size() > 1 && gone.elapsed() < 10000)
            QThread::msleep(5);
    }
    QThread::msleep(kSettleMs);
    c.churned = run.pssMb();
    c.churnedAnon = run.anonMb();
    c.browser = run.browserPssMb();
    c.pages = enginePages(debugPort);
    return c;
}

void sameSite(const Program &p, const QString &url, double *pss, double *processes)
{
    Run run(p, {url});
    if (waitForWindows(p.title(), 1, run.since, true) < 0)
        return;
    for (int i = 1; i < kSiteWindows; ++i) {
        if (openAnother(p, 30) == None)
            return;
    }
    QThread::msleep(3000);
    *pss = run.pssMb();
    *processes = run.processes();
}

double median(std::vector<double> v)
{
    v.erase(std::remove_if(v.begin(), v.end(), [](double x) { return x < 0; }), v.end());
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// One figure over the runs: each program's values and their ratio per run.
struct Figure
{
    const char *name;
    const char *unit;
    std::vector<double> a, b, ratio;
    void add(double x, double y)
    {
        a.push_back(x);
        b.push_back(y);
        if (x > 0 && y > 0)
            ratio.push_back(x / y);
    }
    void print() const
    {
        std::printf("%-38s %8.1f %-2s %8.1f %-2s  %5.2f\n", name, median(a), unit, median(b), unit, median(ratio));
    }
};

QString writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

} // namespace

// Kestrel on the page, settled; then the page in a second window, by
// Ctrl+N or by a later `kestrel URL`: the time until that window shows it,
// and the memory it added once settled.
void secondWindow(const Program &p, const QString &url, bool handOver, double *ms, double *added)
{
    Run run(p, {});
    *ms = *added = -1;
    if (waitForWindows(p.title(), 1, run.since, true) < 0)
        return;
    QThread::msleep(2500);
    const double before = run.pssMb();
    const std::vector<Window> first = windowsTitled(p.title());
    focus(first.front());
    QElapsedTimer n;
    n.start();
    if (handOver) {
        if (!run.startLater(p, {url}))
            return;
    } else {
        pressCtrlN(first.front());
    }
    *ms = waitForWindows(p.title(), 2, n, true, first);
    QThread::msleep(2500);
    *added = run.pssMb() - before;
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup_bench KESTREL BARE_VIEW [RUNS] [--favorites | --quick | --handover]\n");
        return 2;
    }
    // Windows come and go while they are looked at; a vanished one is no error.
    XSetErrorHandler([](Display *, XErrorEvent *) { return 0; });
    g_display = XOpenDisplay(nullptr);
    if (!g_display) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    const int runs = argc > 3 ? std::atoi(argv[3]) : 7;
    const QByteArray option = argc > 4 ? QByteArray(argv[4]) : QByteArray();
    const bool favorites = option == "--favorites";
    const bool quick = favorites || option == "--quick";

    QTemporaryDir dir;
    g_home = dir.path() + QStringLiteral("/home");
    QDir().mkpath(g_home);
    const QString url = QUrl::fromLocalFile(writeFile(dir.path() + QStringLiteral("/page.html"), kPageHtml)).toString();
    auto writeIni = [&](const QString &name, const QByteArray &startup) {
        return writeFile(dir.path() + QLatin1Char('/') + name,
                         "[Settings]\r\nDoStartup=False\r\n" + startup + "[Favorites]\r\nNumber=0\r\n");
    };
    const QString pageIni = writeIni(QStringLiteral("page.ini"), "Startup=Continue\r\nLastURL=" + url.toUtf8() + "\r\n");
    const QString blankIni = writeIni(QStringLiteral("blank.ini"), "Startup=Blank\r\n");

    // The served pages: the bench page, and a page that waits for its
    // program to settle before it moves on to the page of images, which
    // puts its own load time in its title.
    const QByteArray png = QByteArray::fromBase64(
        "iVBORw0KGgoAAAANSUhEUgAAABAAAAAQCAIAAACQkWg2AAAAFklEQVR42mM4YaNBEmIY1TCqYfhqAAAeBCwQMd+aqQAAAABJRU5ErkJggg==");
    BenchServer server([png](const QByteArray &path, QByteArray *type, QByteArray *body) {
        *type = "text/html; charset=utf-8";
        if (path == "/page.html") {
            *body = kPageHtml;
        } else if (path.startsWith("/go/")) {
            *body = "<!DOCTYPE html><title>Waiting</title><script>setTimeout(function(){location.href='/images/"
                    + path.mid(4) + "'},1500)</script>";
        } else if (path.startsWith("/images/")) {
            *body = "<!DOCTYPE html><title>Images</title><script>addEventListener('load',function(){setTimeout(function(){"
                    "document.title='Loaded '+Math.round(performance.getEntriesByType('navigation')[0].loadEventStart)"
                    "})})</script>";
            for (int i = 0; i < kImages; ++i)
                *body += "<img src='/img/" + path.mid(8) + "/" + QByteArray::number(i) + ".png' width=16 height=16>";
        } else if (path.startsWith("/img/")) {
            *type = "image/png";
            *body = png;
        } else {
            type->clear();
        }
    });
    const QString sitePage = server.url(QStringLiteral("/page.html"));

    Program kestrel{QString::fromLocal8Bit(argv[1]), blankIni, QStringLiteral(" - Kestrel"), {}};
    Program bare{QString::fromLocal8Bit(argv[2]), {}, {}, {url}};
    Program kestrelPage = kestrel;
    kestrelPage.ini = pageIni;
    Program kestrelBlank = kestrel, bareBlank = bare;
    QString kestrelBlankTitle = QStringLiteral("about:blank - Kestrel"), bareBlankTitle = QStringLiteral("about:blank");
    QStringList bareBlankArgs{QStringLiteral("about:blank")};
    if (option == "--handover") {
        Figure shown{"second window shown", "ms"}, added{"PSS the second window added", "MB"};
        double ignored = 0;
        secondWindow(kestrelPage, url, true, &ignored, &ignored); // warm the file cache
        for (int i = 0; i < runs; ++i) {
            double am = -1, ap = -1, bm = -1, bp = -1;
            secondWindow(kestrelPage, url, true, &am, &ap);
            secondWindow(kestrelPage, url, false, &bm, &bp);
            shown.add(am, bm);
            added.add(ap, bp);
            std::printf("run %d: kestrel URL %.0f ms +%.1f MB, Ctrl+N %.0f ms +%.1f MB\n", i + 1, am, ap, bm, bp);
            std::fflush(stdout);
        }
        std::printf("\nmedians over %d runs              kestrel URL      Ctrl+N     ratio (median of pairs)\n", runs);
        shown.print();
        added.print();
        return 0;
    }
    // With --favorites the second column is Kestrel itself with no
    // favorites, and the first Kestrel with a full store of 32767.
    if (favorites) {
        auto withFavorites = [&](const QString &from) {
            QFile in(from);
            in.open(QIODevice::ReadOnly);
            QByteArray text = in.readAll().replace("Number=0", "Number=32767");
            for (int i = 0; i < 32767; ++i)
                text += "[" + QByteArray::number(i) + "]\r\nName=Favorite number " + QByteArray::number(i)
                        + "\r\nURL=http://127.0.0.1/pages/" + QByteArray::number(i) + ".html\r\n";
            return writeFile(from + QStringLiteral(".full"), text);
        };
        bare = kestrelPage;
        bareBlank = kestrelBlank;
        bareBlankTitle = kestrelBlankTitle;
        bareBlankArgs = {};
        kestrelPage.ini = withFavorites(pageIni);
        kestrelBlank.ini = withFavorites(blankIni);
        std::printf("first column: 32767 favorites; second: none\n");
    }

    Figure start{"start-up to page shown", "ms"}, ctrlN{"Ctrl+N to page shown", "ms"},
        images{"400 images, page's load event", "ms"}, blank{"PSS, one blank window", "MB"},
        one{"PSS, one window on a served page", "MB"}, churned{"PSS, after 100 windows opened+closed", "MB"},
        churnSelf{"  the same / one window (own program)", "x"},
        anonOne{"  anonymous part, one window", "MB"}, anonChurned{"  anonymous part, after 100", "MB"},
        anonSelf{"  the same / one window (own program)", "x"},
        churnBrowser{"  of it the program's own process", "MB"},
        churnPages{"  pages the engine still holds", ""}, site{"PSS, 20 windows of one site", "MB"},
        siteProcs{"  processes, 20 windows of one site", ""};

    double ignored = 0;
    startAndCtrlN(kestrelPage, &ignored, &ignored); // warm the file cache for both
    startAndCtrlN(bare, &ignored, &ignored);
    for (int i = 0; i < runs; ++i) {
        double ks = -1, bs = -1, kn = -1, bn = -1;
        startAndCtrlN(kestrelPage, &ks, &kn);
        startAndCtrlN(bare, &bs, &bn);
        start.add(ks, bs);
        ctrlN.add(kn, bn);
        blank.add(blankWindowPss(kestrelBlank, kestrelBlankTitle, {}),
                  blankWindowPss(bareBlank, bareBlankTitle, bareBlankArgs));
        std::printf("run %d: start %.0f/%.0f ms, Ctrl+N %.0f/%.0f ms, blank PSS %.1f/%.1f MB", i + 1, ks, bs, kn, bn,
                    blank.a.back(), blank.b.back());
        if (!favorites) {
            const QString go = server.url(QStringLiteral("/go/%1").arg(i));
            images.add(imagesLoad(kestrel, go), imagesLoad(bare, go));
            std::printf(", images %.0f/%.0f ms", images.a.back(), images.b.back());
        }
        if (!quick) {
            const Churn k = churn(kestrel, sitePage), b = churn(bare, sitePage);
            auto per = [](double after, double before) { return after > 0 && before > 0 ? after / before : -1; };
            one.add(k.fresh, b.fresh);
            churned.add(k.churned, b.churned);
            churnSelf.add(per(k.churned, k.fresh), per(b.churned, b.fresh));
            anonOne.add(k.freshAnon, b.freshAnon);
            anonChurned.add(k.churnedAnon, b.churnedAnon);
            anonSelf.add(per(k.churnedAnon, k.freshAnon), per(b.churnedAnon, b.freshAnon));
            churnBrowser.add(k.browser, b.browser);
            churnPages.add(k.pages, b.pages);
            double kp = -1, kq = -1, bp = -1, bq = -1;
            sameSite(kestrel, sitePage, &kp, &kq);
            sameSite(bare, sitePage, &bp, &bq);
            site.add(kp, bp);
            siteProcs.add(kq, bq);
            std::printf(", one %.1f/%.1f MB, churned %.1f/%.1f MB with %.0f/%.0f pages, 20 windows %.1f/%.1f MB in %.0f/%.0f"
                        " processes", k.fresh, b.fresh, k.churned, b.churned, k.pages, b.pages, kp, bp, kq, bq);
        }
        std::printf(" (kestrel/bare)\n");
        std::fflush(stdout);
    }
    std::printf("\nmedians over %d runs                      kestrel        bare     ratio (median of pairs)\n", runs);
    for (const Figure *f : {&start, &ctrlN, &images, &blank, &one, &churned, &churnSelf, &anonOne, &anonChurned,
                            &anonSelf, &churnBrowser, &churnPages, &site, &siteProcs}) {
        if (!f->a.empty())
            f->print();
    }
    return 0;
}
