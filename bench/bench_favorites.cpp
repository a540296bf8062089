// Favorites on a full store (32767 entries): each operation against the
// floor of one plain read and parse of the file plus one write of it.
#include "BenchSupport.h"
#include "FakeBrowserView.h"

#include "favorites/FavoritesPanel.h"
#include "browser/frmMain.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 9;

    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/INI.ini");
    qputenv("KESTREL_INI", QFile::encodeName(path));
    QByteArray full = "[Settings]\r\nDoStartup=False\r\n[Favorites]\r\nNumber=32767\r\n";
    for (int i = 0; i < 32767; ++i)
        full += "[" + QByteArray::number(i) + "]\r\nName=Favorite number " + QByteArray::number(i)
                + "\r\nURL=http://127.0.0.1/pages/" + QByteArray::number(i) + ".html\r\n";
    auto reset = [&] { settings_detail::replaceFileAtomically(path, full); };
    reset();

    frmMain::viewFactory() = [](QWidget *parent) -> BrowserView * { return new FakeBrowserView(parent); };
    frmMain window;
    AttachFavoritesPanel(&window);

    const double floor = medianMicros(runs, [&] {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        const IniDocument doc = IniDocument::fromBytes(f.readAll());
        settings_detail::replaceFileAtomically(path, doc.toBytes());
    });
    std::printf("file: %lld bytes, 32767 favorites, median of %d runs\n", qlonglong(full.size()), runs);
    report("floor (read+parse+write)", floor, floor);
    report("RefreshFavoritesList", medianMicros(runs, [] { RefreshFavoritesList(); }), floor);
    report("ReadIniValue (last entry)",
           medianMicros(runs, [] { ReadIniValue(QStringLiteral("32766"), QStringLiteral("URL")); }), floor);
    // Adding to a full store is refused; measure the add on one fewer.
    QByteArray almost = full;
    almost.replace("Number=32767", "Number=32766");
    report("AddFavorite",
           medianMicros(runs, [] { AddFavorite(QStringLiteral("new"), QStringLiteral("http://127.0.0.1/new")); },
                        [&] { settings_detail::replaceFileAtomically(path, almost); }),
           floor);
    report("DeleteFavorite(0)", medianMicros(runs, [] { DeleteFavorite(0, 32767); }, reset), floor);
    return 0;
}
