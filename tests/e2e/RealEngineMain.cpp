#include "E2eSupport.h"

#include "app/MainWindowSteps.h"
#include "browser/WebEngineBrowserView.h"
#include "browser/frmMain.h"

QApplication *startRealEngineApp(int &argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    auto *app = new QApplication(argc, argv);
    frmMain::viewFactory() = [](QWidget *parent) -> BrowserView * { return new WebEngineBrowserView(parent); };
    InstallMainWindowHooks();
    return app;
}
