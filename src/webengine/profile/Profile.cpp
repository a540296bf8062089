#include "Profile.h"

#include "downloads/DownloadManager.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

QWebEngineProfile *browserProfile()
{
    static QWebEngineProfile *profile = nullptr;
    if (profile)
        return profile;
    // A child of the application, so that a run that never quits its event
    // loop still deletes it after every window and page (which the
    // application deletes first).
    profile = new QWebEngineProfile(QStringLiteral("Kestrel"), QCoreApplication::instance());
    const QString folder = QStringLiteral("/Kestrel");
    profile->setPersistentStoragePath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + folder);
    profile->setCachePath(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + folder);
    // Pages may fill the screen; the engine lets them only on a user's action.
    profile->settings()->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, true);
    // No window shows a site's icon; fetching it costs a request per page.
    profile->settings()->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);
    new DownloadManager(profile);
    // The profile writes what it still holds in memory, cookies among it,
    // when it is deleted: at the end of the run, once the closed windows and
    // their pages are gone, rather than somewhere in the engine's shutdown.
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, profile, [] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        delete profile;
    });
    QObject::connect(profile, &QObject::destroyed, [] { profile = nullptr; });
    return profile;
}
