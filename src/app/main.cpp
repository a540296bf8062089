#include "MainWindowSteps.h"
#include "frmStartup.h"

#include "browser/WebEngineBrowserView.h"
#include "browser/frmMain.h"

#include <QApplication>

namespace {

// What Kestrel asks of the engine beyond its defaults.
void tuneEngine()
{
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    // Windows on the same site share one page process: a new window on the
    // current page starts sooner, and each further window costs less.
    flags += " --process-per-site";
    // Without the sandbox the zygote processes have nothing to guard and
    // only hold memory; pages are started directly instead.
    const bool unsandboxed = qEnvironmentVariableIntValue("QTWEBENGINE_DISABLE_SANDBOX") == 1
                             || flags.contains("--no-sandbox");
    if (unsandboxed)
        flags += " --no-zygote";
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.trimmed());
}

} // namespace

int main(int argc, char **argv)
{
    tuneEngine();
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
