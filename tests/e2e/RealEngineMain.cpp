#include "E2eSupport.h"

#include "app/MainWindowSteps.h"
#include "browser/WebEngineBrowserView.h"
#include "browser/frmMain.h"

#include <QApplication>

int runWithRealEngine(QObject *test, int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    frmMain::viewFactory() = [](QWidget *parent) -> BrowserView * { return new WebEngineBrowserView(parent); };
    InstallMainWindowHooks();
    return QTest::qExec(test, argc, argv);
}
