#include "EngineTuning.h"
#include "MainWindowSteps.h"
#include "frmStartup.h"

#include "browser/WebEngineBrowserView.h"
#include "browser/frmMain.h"

#include <QApplication>

int main(int argc, char **argv)
{
    ApplyEngineTuning(argc, argv);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QCoreApplication::setOrganizationName(QStringLiteral("Kestrel"));
    QCoreApplication::setApplicationName(QStringLiteral("Kestrel"));
    QApplication app(argc, argv);
    app.setWindowIcon(QIcon(QStringLiteral(":/kestrel/Logo.bmp")));

    frmMain::viewFactory() = [](QWidget *parent) -> BrowserView * { return new WebEngineBrowserView(parent); };
    InstallMainWindowHooks();

    auto *startup = new frmStartup;
    if (startup->Form_Load())
        startup->show();
    return app.exec();
}
