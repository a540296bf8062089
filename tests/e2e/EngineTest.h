#pragma once

#include "E2eSupport.h"
#include "MainWindows.h"
#include "TempIni.h"

#include <memory>

// What a test of the real engine in this process starts from: a settings file
// of its own, a local server for its pages, and no window left from the last.
class EngineTest : public QObject
{
    Q_OBJECT
protected:
    // A new window on a served page, once its caption shows and it has the keyboard.
    MainWindow *openOn(const QString &path, const QString &caption);

    LocalServer server;
    std::unique_ptr<TempIni> ini;

private slots:
    void init() { ini = std::make_unique<TempIni>("[Settings]\r\n[Favorites]\r\nNumber=0\r\n"); }
    void cleanup();
};

// Sets a program up as Kestrel is: the real web view in every window, and the
// program's own window steps.
QApplication *startRealEngineApp(int &argc, char **argv);

// Runs test object T, made once the application exists (its server needs it).
template <typename T>
int runWithRealEngine(int argc, char **argv)
{
    std::unique_ptr<QApplication> app(startRealEngineApp(argc, argv));
    T test;
    return QTest::qExec(&test, argc, argv);
}
