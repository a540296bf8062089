#include "WebEngineHost.h"

#include "downloads/DownloadManager.h"
#include "startup/EngineTuning.h"
#include "view/WebEngineBrowserView.h"

#include <QCoreApplication>
#include <QQuickWindow>
#include <QSGRendererInterface>

void WebEngineHost::prepareEngine(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const EngineTuning t = chooseEngineTuning(
        qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"), args, qEnvironmentVariableIntValue("QTWEBENGINE_DISABLE_SANDBOX") == 1,
        qEnvironmentVariableIsSet("QT_QUICK_BACKEND") || qEnvironmentVariableIsSet("QSG_RHI_BACKEND"));
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", t.chromiumFlags);
    if (t.softwareScene)
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

BrowserView *WebEngineHost::makeView(QWidget *parent)
{
    return new WebEngineBrowserView(m_engine, parent);
}

DownloadList *WebEngineHost::downloads()
{
    return m_engine.downloads();
}
