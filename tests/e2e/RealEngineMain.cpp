#include "E2eSupport.h"

#include "MainWindows.h"
#include "app/WebEngineHost.h"

#include <QFile>
#include <QTemporaryDir>

QApplication *startRealEngineApp(int &argc, char **argv)
{
    // The browser keeps its profile and downloads in the home folder: a home
    // of the test's own, for as long as the test runs.
    static QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    for (const char *xdg : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"})
        qunsetenv(xdg);
    // The engine is set up as the program sets it up, so what is tested is
    // what runs.
    WebEngineHost::prepareEngine(argc, argv);
    auto *app = new QApplication(argc, argv);
    testHost() = new WebEngineHost;
    return app;
}
