#include "EngineTest.h"

#include "WebEngineHost.h"

#include <QDialog>
#include <QMessageBox>
#include <QFile>
#include <QPushButton>
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

MainWindow *EngineTest::openOn(const QString &path, const QString &caption)
{
    MainWindow *w = openWindow();
    w->view()->navigate(server.url(path));
    [&] { QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), caption, 20000); }();
    [&] { QVERIFY(User::focus(w)); }();
    // The title comes before the page is drawn and can take clicks.
    QTest::qWait(700);
    return w;
}

void EngineTest::cleanup()
{
    QFile::setPermissions(ini->path, QFile::ReadOwner | QFile::WriteOwner);
    ini->write("[Settings]\r\n"); // no exit question
    // A page may still ask before it is left, and the last window about
    // downloads still running; the answer here is to leave and cancel them.
    QTimer leave;
    connect(&leave, &QTimer::timeout, [] {
        if (QDialog *box = shown<QDialog>(QStringLiteral("ScriptDialog"))) {
            if (auto *button = box->findChild<QPushButton *>(QStringLiteral("cmdLeave")))
                button->click();
            else
                box->reject();
        }
        if (auto *box = shown<QMessageBox>(QStringLiteral("DownloadsRunning"))) {
            for (QAbstractButton *button : box->buttons()) {
                if (box->buttonRole(button) == QMessageBox::DestructiveRole)
                    button->click();
            }
        }
    });
    leave.start(100);
    closeAllWindows();
    QTest::qWait(50);
    ini.reset();
}
