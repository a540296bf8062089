// Settings work on a full store (32767 favorites) against what the disk
// itself costs for the same file: reading its bytes for what only reads;
// reading them, writing them to a temporary file, syncing and renaming it
// for what writes. Usage: bench_favorites [RUNS]
#include "BenchSupport.h"
#include "FakeBrowserView.h"

#include "window/BrowserHost.h"
#include "window/MainWindow.h"
#include "favorites/FavoritesModel.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QElapsedTimer>
#include <QListWidget>
#include <QTemporaryDir>
#include <QThread>

#include <fcntl.h>
#include <unistd.h>

namespace {

class FakeHost : public BrowserHost
{
protected:
    BrowserView *makeView(QWidget *parent, bool) override { return new FakeBrowserView(parent); }
};

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

// The least any safe replacement of the file costs.
void rawWriteCycle(const QString &path)
{
    const QByteArray bytes = readBytes(path);
    const QByteArray tmp = QFile::encodeName(path) + ".raw";
    const int fd = open(tmp.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (write(fd, bytes.constData(), size_t(bytes.size())) != bytes.size())
        std::perror("write");
    fsync(fd);
    close(fd);
    rename(tmp.constData(), QFile::encodeName(path).constData());
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 9;

    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/INI.ini");
    qputenv("KESTREL_INI", QFile::encodeName(path));
    QByteArray full = "[Settings]\r\nDoStartup=False\r\nStartup=Blank\r\nLastURL=about:blank\r\n"
                      "[Favorites]\r\nNumber=32767\r\n";
    for (int i = 0; i < 32767; ++i)
        full += "[" + QByteArray::number(i) + "]\r\nName=Favorite number " + QByteArray::number(i)
                + "\r\nURL=http://127.0.0.1/pages/" + QByteArray::number(i) + ".html\r\n";
    QByteArray almost = full;
    almost.replace("Number=32767", "Number=32766");
    almost.chop(almost.size() - almost.lastIndexOf("[32766]"));
    // Another program's version of the file, written a while ago: one written
    // a moment ago would be waited on, as it may be half written.
    auto put = [&](const QByteArray &bytes) {
        settings_detail::replaceFileAtomically(path, bytes);
        QFile f(path);
        if (f.open(QIODevice::ReadWrite))
            f.setFileTime(QDateTime::currentDateTime().addSecs(-10), QFileDevice::FileModificationTime);
    };
    put(full);

    FakeHost host;
    MainWindow *window = host.openWindow();
    // The list is filled once the user opens the sidebar; every figure
    // below includes bringing it up to date.
    window->show();
    QCoreApplication::processEvents();
    QElapsedTimer opening;
    opening.start();
    window->findChild<QWidget *>(QStringLiteral("Sidebar"))->show();
    QCoreApplication::processEvents();
    const double openMicros = opening.nsecsElapsed() / 1000.0;
    if (window->findChild<QListWidget *>(QStringLiteral("lstFavs"))->count() != 32767) {
        std::fprintf(stderr, "the favorites list was not filled\n");
        return 1;
    }
    FavoritesModel *model = host.favorites();

    const double readFloor = medianMicros(runs, [&] { readBytes(path); });
    const double writeFloor = medianMicros(runs, [&] { rawWriteCycle(path); });
    std::printf("file: %lld bytes, 32767 favorites, median of %d runs\n", qlonglong(full.size()), runs);
    std::printf("%-30s %12s   %s\n", "operation", "time", "against the raw floor (goal)");
    report("raw read (floor)", readFloor, readFloor);
    report("raw write cycle (floor)", writeFloor, writeFloor);
    // Once per run, when the user first opens the sidebar.
    report("first sidebar open (once)", openMicros, readFloor);

    std::printf("reads (goal at most 10x the raw read)\n");
    // Another writer renamed one favorite: the list must follow.
    QByteArray renamed = full;
    renamed.replace("Name=Favorite number 20000\r\n", "Name=Renamed elsewhere\r\n");
    bool flip = false;
    report("refresh favorites, changed",
           medianMicros(runs, [model] { model->refresh(); }, [&] { put((flip = !flip) ? renamed : full); }), readFloor);
    report("refresh favorites, same", medianMicros(runs, [model] { model->refresh(); }), readFloor);
    report("readIniValue ([Settings])",
           medianMicros(runs, [] { readIniValue(QStringLiteral("Settings"), QStringLiteral("LastURL")); }), readFloor);
    report("readIniValue (last entry)",
           medianMicros(runs, [] { readIniValue(QStringLiteral("32766"), QStringLiteral("URL")); }), readFloor);

    std::printf("writes (goal at most 3x the raw write cycle)\n");
    report("add favorite", medianMicros(runs, [model] { model->add(QStringLiteral("new"), QStringLiteral("http://127.0.0.1/new")); },
                                       [&] { put(almost); model->refresh(); }),
           writeFloor);
    put(full);
    model->refresh();
    // A new name each time: the same name again would write nothing.
    int edits = 0;
    FavoritesModel::Favorite current = *model->at(16000);
    report("update favorite 16000", medianMicros(runs, [&] {
               const FavoritesModel::Favorite edited{QStringLiteral("edited %1").arg(++edits), current.url};
               model->update(16000, current, edited.name, edited.url);
               current = edited;
           }),
           writeFloor);
    const FavoritesModel::Favorite first{QStringLiteral("Favorite number 0"), QStringLiteral("http://127.0.0.1/pages/0.html")};
    report("delete favorite 0", medianMicros(runs, [model, first] { model->remove(0, first); }, [&] { put(full); model->refresh(); }),
           writeFloor);
    int n = 0;
    report("writeIniValue (LastURL)",
           medianMicros(runs, [&] { writeIniValue(QStringLiteral("Settings"), QStringLiteral("LastURL"),
                                                  QStringLiteral("http://127.0.0.1/%1").arg(++n)); }),
           writeFloor);

    std::printf("page load (goal at most 16 ms on the GUI thread)\n");
    put(full);
    model->refresh();
    // The GUI thread's share: the handler, then the events that the write
    // it started brings back (the file watcher), each timed on its own.
    std::vector<double> handler, after;
    for (int i = 0; i < runs; ++i) {
        const QString url = QStringLiteral("http://127.0.0.1/loaded/%1").arg(++n);
        QElapsedTimer t;
        t.start();
        emit window->view()->loadFinished(url, true);
        handler.push_back(double(t.nsecsElapsed()) / 1000.0);
        for (int k = 0; k < 500 && readIniValue(QStringLiteral("Settings"), QStringLiteral("LastURL")) != url; ++k)
            QThread::msleep(1);
        QThread::msleep(20);
        t.restart();
        QCoreApplication::processEvents();
        after.push_back(double(t.nsecsElapsed()) / 1000.0);
    }
    std::sort(handler.begin(), handler.end());
    std::sort(after.begin(), after.end());
    report("load-finished handler", handler[handler.size() / 2], 16000);
    report("events after its write", after[after.size() / 2], 16000);
    report("slowest handler + events", handler.back() + after.back(), 16000);
    delete window;
    return 0;
}
