#include "CommandLine.h"
#include "EngineTuning.h"
#include "MainWindowSteps.h"
#include "frmStartup.h"

#include "browser/WebEngineBrowserView.h"
#include "browser/frmMain.h"

#include <QApplication>
#include <QDir>

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

    // Addresses handed over by the desktop open at once, one window each;
    // the start-up dialog is for a plain start.
    const QStringList addresses = addressesFromArguments(app.arguments().mid(1), QDir::currentPath());
    for (const QString &address : addresses)
        CreateMainWindow(address)->show();
    if (addresses.isEmpty()) {
        auto *startup = new frmStartup;
        if (startup->Form_Load())
            startup->show();
    }
    return app.exec();
}
