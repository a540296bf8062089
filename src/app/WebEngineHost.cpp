#include "WebEngineHost.h"

#include "downloads/DownloadManager.h"
#include "startup/CommandLine.h"
#include "history/History.h"
#include "startup/EngineTuning.h"
#include "view/WebEngineBrowserView.h"
#include "zoom/SiteZoomStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QWebEngineProfile>

WebEngineHost::WebEngineHost(const ProfileFolder &profile)
    : BrowserHost(profile)
    , m_engine(profile)
{
    // Before the session in the dialog's list: what sites keep comes first.
    browsingData().insert(
        0, {QStringLiteral("Cookies"), QStringLiteral("&Cookies and site data"), true,
            [this] {
                m_engine.clearCookies();
                ProfileCleanup::schedule(m_engine.profileFolder(), {ProfileCleanup::Item::SiteStorage});
            },
            [this] {
                m_engine.clearCookies();
                // Nothing sets a cookie between this run's end and the next
                // start: the database itself can go then.
                ProfileCleanup::schedule(m_engine.profileFolder(),
                                         {ProfileCleanup::Item::SiteStorage, ProfileCleanup::Item::Cookies});
            },
            QStringLiteral("Cookies go at once; what sites store in local storage and databases goes when Kestrel "
                           "next starts.")});
    browsingData().insert(
        1, {QStringLiteral("Cache"), QStringLiteral("Cached &files"), true, [this] { m_engine.clearCache(); },
            [this] {
                m_engine.clearCache();
                ProfileCleanup::schedule(m_engine.profileFolder(), {ProfileCleanup::Item::Cache});
            },
            QString()});
    browsingData().insert(2, {QStringLiteral("History"), QStringLiteral("Browsing &history"), false,
                              [this] {
                                  m_engine.history()->clear();
                                  m_engine.profile()->clearAllVisitedLinks();
                                  // The zoom kept per site names the sites too.
                                  QString error;
                                  m_engine.siteZoom().clear(&error);
                              },
                              {}, QString()});
}

void WebEngineHost::prepareEngine(const QStringList &engineSwitches)
{
    const EngineTuning t = chooseEngineTuning(
        qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"), engineSwitches,
        qEnvironmentVariableIntValue("QTWEBENGINE_DISABLE_SANDBOX") == 1,
        qEnvironmentVariableIsSet("QT_QUICK_BACKEND") || qEnvironmentVariableIsSet("QSG_RHI_BACKEND"));
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", t.chromiumFlags);
    if (t.softwareScene)
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

void WebEngineHost::prepareEngine(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    prepareEngine(parseCommandLine(args, QDir::currentPath()).engineSwitches);
}

BrowserView *WebEngineHost::makeView(QWidget *parent, bool privately)
{
    return new WebEngineBrowserView(m_engine, privately, parent);
}

void WebEngineHost::endOfRun()
{
    BrowserHost::endOfRun();
    // The windows and their pages are gone: the profile writes what it
    // still holds, cookies among it, here rather than somewhere in the
    // engine's shutdown.
    m_engine.closeProfiles();
}

DownloadList *WebEngineHost::downloads()
{
    return &m_engine;
}
