#include "E2eSupport.h"

#include "app/EngineTuning.h"
#include "app/MainWindowSteps.h"
#include "browser/WebEngineBrowserView.h"
#include "browser/frmMain.h"

QApplication *startRealEngineApp(int &argc, char **argv)
{
    // The engine is set up as the program sets it up, so what is tested is
    // what runs.
    ApplyEngineTuning(argc, argv);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    auto *app = new QApplication(argc, argv);
    frmMain::viewFactory() = [](QWidget *parent) -> BrowserView * { return new WebEngineBrowserView(parent); };
    InstallMainWindowHooks();
    return app;
}
