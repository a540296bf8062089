// Start-up, Ctrl+N and memory of the browser against the bare view, both
// started as whole programs under the same X display, in turn, A B A B.
// With --handover, the second window of a running Kestrel opened by a
// later `kestrel URL` against one opened by Ctrl+N, in turn: time until it
// shows the page and the memory it adds.
//
// Usage: startup_bench KESTREL BARE_VIEW [RUNS] [--favorites | --handover]
// Needs an X display (xvfb-run) and QTWEBENGINE_DISABLE_SANDBOX=1 as root.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

#include "ProcessTree.h"
#include "X11Windows.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
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

void focus(Window w)
{
    XSetInputFocus(g_display, w, RevertToParent, CurrentTime);
    XSync(g_display, False);
    QThread::msleep(300);
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

struct Program
{
    QString name, exe;
    QStringList args;
    QString title;
    QString ini; // settings file for the browser, empty for the bare view
};

struct Sample
{
    double start = -1, ctrlN = -1, memory = -1;
};

// Both programs keep what they store (the browser's profile) in a home of
// their own, kept across runs as a user's is.
QString g_home;

// Each run is a plain start: the windows that the killed run before left
// would otherwise come back.
void forgetKeptWindows()
{
    QFile::remove(g_home + QStringLiteral("/.local/share/Kestrel/session.dat"));
}

Sample runOnce(const Program &p, bool measureMemory)
{
    Sample s;
    forgetKeptWindows();
    QProcess proc;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), g_home);
    for (const char *xdg : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"})
        env.remove(QString::fromLatin1(xdg));
    if (!p.ini.isEmpty())
        env.insert(QStringLiteral("KESTREL_INI"), p.ini);
    proc.setProcessEnvironment(env);
    proc.setStandardOutputFile(QProcess::nullDevice());
    proc.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    proc.start(p.exe, p.args);
    proc.waitForStarted();
    s.start = waitForWindows(p.title, 1, t, !measureMemory);
    if (s.start >= 0 && measureMemory) {
        QThread::msleep(3000); // let the page and the renderer settle
        s.memory = treePssKb(proc.processId()) / 1024.0;
    } else if (s.start >= 0) {
        const std::vector<Window> first = windowsTitled(p.title);
        QThread::msleep(500);
        focus(first.front());
        QElapsedTimer n;
        n.start();
        pressCtrlN(first.front());
        s.ctrlN = waitForWindows(p.title, 2, n, true, first);
    }
    for (qint64 pid : processTree(proc.processId()))
        ::kill(pid_t(pid), SIGKILL);
    proc.waitForFinished(5000);
    QThread::msleep(300);
    return s;
}

struct SecondWindow
{
    double ms = -1, pss = -1;
    int browsers = -1; // browser processes once the window showed its page
};

// Browser processes of the bench's home: the engine's helpers are not counted.
int browsersOfTheHome(const QString &exe)
{
    const QString program = QFileInfo(exe).canonicalFilePath();
    const QByteArray home = "\0HOME=" + QFile::encodeName(g_home) + '\0';
    int count = 0;
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile environ(QStringLiteral("/proc/%1/environ").arg(pid));
        if (QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).canonicalFilePath() == program
            && environ.open(QIODevice::ReadOnly) && ('\0' + environ.readAll()).contains(home))
            ++count;
    }
    return count;
}

// Starts Kestrel on the page, lets it settle, then opens the page in a
// second window, by Ctrl+N or by a later `kestrel URL`: the time until that
// window shows the page, and the memory it added once settled.
SecondWindow secondWindow(const Program &p, const QString &url, bool handOver)
{
    SecondWindow s;
    forgetKeptWindows();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), g_home);
    for (const char *xdg : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"})
        env.remove(QString::fromLatin1(xdg));
    env.insert(QStringLiteral("KESTREL_INI"), p.ini);
    QProcess proc, later;
    for (QProcess *each : {&proc, &later}) {
        each->setProcessEnvironment(env);
        each->setStandardOutputFile(QProcess::nullDevice());
        each->setStandardErrorFile(QProcess::nullDevice());
    }
    QElapsedTimer t;
    t.start();
    proc.start(p.exe, p.args);
    proc.waitForStarted();
    if (waitForWindows(p.title, 1, t, true) >= 0) {
        auto settled = [&proc] {
            QThread::msleep(2500);
            return treePssKb(proc.processId()) / 1024.0;
        };
        const double before = settled();
        const std::vector<Window> first = windowsTitled(p.title);
        focus(first.front());
        QElapsedTimer n;
        n.start();
        if (handOver)
            later.start(p.exe, {url});
        else
            pressCtrlN(first.front());
        s.ms = waitForWindows(p.title, 2, n, true, first);
        if (handOver && (!later.waitForFinished(10000) || later.exitCode() != 0))
            s.ms = -1;
        s.browsers = browsersOfTheHome(p.exe);
        s.pss = settled() - before;
    }
    for (qint64 pid : processTree(proc.processId()))
        ::kill(pid_t(pid), SIGKILL);
    proc.waitForFinished(5000);
    QThread::msleep(300);
    return s;
}

double median(std::vector<double> v)
{
    v.erase(std::remove_if(v.begin(), v.end(), [](double x) { return x < 0; }), v.end());
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup_bench KESTREL BARE_VIEW [RUNS]\n");
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

    QTemporaryDir dir;
    g_home = dir.path() + QStringLiteral("/home");
    QDir().mkpath(g_home);
    const QString page = dir.path() + QStringLiteral("/page.html");
    {
        QFile f(page);
        f.open(QIODevice::WriteOnly);
        f.write("<!DOCTYPE html><title>Bench Page</title><body style='background:#2a7f3c'><h1>Bench Page</h1>"
                "<p>A page of text for timing the first paint.</p>");
    }
    const QString url = QUrl::fromLocalFile(page).toString();
    auto writeIni = [&](const QString &name, const QByteArray &startup) {
        const QString path = dir.path() + QLatin1Char('/') + name;
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write("[Settings]\r\nDoStartup=False\r\n" + startup + "[Favorites]\r\nNumber=0\r\n");
        return path;
    };
    const QString pageIni = writeIni(QStringLiteral("page.ini"), "Startup=Continue\r\nLastURL=" + url.toUtf8() + "\r\n");
    const QString blankIni = writeIni(QStringLiteral("blank.ini"), "Startup=Blank\r\n");

    Program kestrel{QStringLiteral("kestrel"), QString::fromLocal8Bit(argv[1]), {}, QStringLiteral("Bench Page - Kestrel"), pageIni};
    Program bare{QStringLiteral("bare"), QString::fromLocal8Bit(argv[2]), {url}, QStringLiteral("Bench Page"), {}};
    Program kestrelBlank{QStringLiteral("kestrel"), kestrel.exe, {}, QStringLiteral("about:blank - Kestrel"), blankIni};
    Program bareBlank{QStringLiteral("bare"), bare.exe, {QStringLiteral("about:blank")}, QStringLiteral("about:blank"), {}};
    if (argc > 4 && QByteArray(argv[4]) == "--handover") {
        std::vector<double> n, h, np, hp, r;
        secondWindow(kestrel, url, true); // warm the file cache
        for (int i = 0; i < runs; ++i) {
            const SecondWindow a = secondWindow(kestrel, url, false);
            const SecondWindow b = secondWindow(kestrel, url, true);
            n.push_back(a.ms); h.push_back(b.ms);
            np.push_back(a.pss); hp.push_back(b.pss);
            if (a.ms > 0 && b.ms > 0)
                r.push_back(b.ms / a.ms);
            std::printf("run %d: Ctrl+N %.0f ms +%.1f MB, kestrel URL %.0f ms +%.1f MB, browser processes %d\n", i + 1,
                        a.ms, a.pss, b.ms, b.pss, b.browsers);
            std::fflush(stdout);
        }
        std::printf("\nmedians over %d runs   Ctrl+N   kestrel URL   ratio (median of pairs)\n", runs);
        std::printf("second window shown  %6.0f ms  %8.0f ms   %.2f\n", median(n), median(h), median(r));
        std::printf("PSS added            %6.1f MB  %8.1f MB\n", median(np), median(hp));
        return 0;
    }
    // With --favorites the second column is Kestrel itself with no
    // favorites, and the first Kestrel with a full store of 32767.
    if (argc > 4 && QByteArray(argv[4]) == "--favorites") {
        auto withFavorites = [&](const QString &from) {
            QFile in(from);
            in.open(QIODevice::ReadOnly);
            QByteArray text = in.readAll().replace("Number=0", "Number=32767");
            for (int i = 0; i < 32767; ++i)
                text += "[" + QByteArray::number(i) + "]\r\nName=Favorite number " + QByteArray::number(i)
                        + "\r\nURL=http://127.0.0.1/pages/" + QByteArray::number(i) + ".html\r\n";
            QFile out(from + QStringLiteral(".full"));
            out.open(QIODevice::WriteOnly);
            out.write(text);
            return out.fileName();
        };
        bare = kestrel;
        bareBlank = kestrelBlank;
        kestrel.ini = withFavorites(pageIni);
        kestrelBlank.ini = withFavorites(blankIni);
        std::printf("first column: 32767 favorites; second: none\n");
    }

    std::vector<double> ks, bs, kn, bn, km, bm, rs, rn, rm;
    runOnce(kestrel, false); // warm the file cache for both
    runOnce(bare, false);
    for (int i = 0; i < runs; ++i) {
        const Sample a = runOnce(kestrel, false);
        const Sample b = runOnce(bare, false);
        const Sample am = runOnce(kestrelBlank, true);
        const Sample bmm = runOnce(bareBlank, true);
        ks.push_back(a.start); bs.push_back(b.start);
        kn.push_back(a.ctrlN); bn.push_back(b.ctrlN);
        km.push_back(am.memory); bm.push_back(bmm.memory);
        if (a.start > 0 && b.start > 0) rs.push_back(a.start / b.start);
        if (a.ctrlN > 0 && b.ctrlN > 0) rn.push_back(a.ctrlN / b.ctrlN);
        if (am.memory > 0 && bmm.memory > 0) rm.push_back(am.memory / bmm.memory);
        std::printf("run %d: start %.0f/%.0f ms, Ctrl+N %.0f/%.0f ms, PSS %.1f/%.1f MB (kestrel/bare)\n", i + 1,
                    a.start, b.start, a.ctrlN, b.ctrlN, am.memory, bmm.memory);
        std::fflush(stdout);
    }
    std::printf("\nmedians over %d runs        kestrel      bare   ratio (median of pairs)\n", runs);
    std::printf("start-up to page shown    %7.0f ms %7.0f ms   %.2f\n", median(ks), median(bs), median(rs));
    std::printf("Ctrl+N to page shown      %7.0f ms %7.0f ms   %.2f\n", median(kn), median(bn), median(rn));
    std::printf("PSS, one blank window     %7.1f MB %7.1f MB   %.2f\n", median(km), median(bm), median(rm));
    return 0;
}
