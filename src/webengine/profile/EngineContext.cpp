#include "EngineContext.h"

#include "downloads/DownloadManager.h"
#include "history/History.h"
#include "prompts/DesktopNotifications.h"
#include "Spelling.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <QWebEngineNotification>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {
// Long enough for the engine to finish taking a closed page apart.
constexpr int kAfterCloseMs = 2000;
} // namespace

EngineContext::EngineContext(QObject *parent)
    : QObject(parent)
{
    m_closedPages.setSingleShot(true);
    m_closedPages.setInterval(kAfterCloseMs);
    connect(&m_closedPages, &QTimer::timeout, this, &EngineContext::releaseFreedMemory);
    m_memoryReleaser.setMaxThreadCount(1);
}

EngineContext::~EngineContext()
{
    delete m_history;
    delete m_profile;
}

QWebEngineProfile *EngineContext::profile()
{
    if (m_profile)
        return m_profile;
    // A child of the application, so that a run that never quits its event
    // loop still deletes it after every window and page (which the
    // application deletes first).
    auto *profile = new QWebEngineProfile(QStringLiteral("Kestrel"), QCoreApplication::instance());
    m_profile = profile;
    const QString folder = QStringLiteral("/Kestrel");
    profile->setPersistentStoragePath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + folder);
    profile->setCachePath(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + folder);
    // Pages may fill the screen; the engine lets them only on a user's action.
    profile->settings()->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, true);
    // PDFs open in the window in the engine's own viewer, which is a plugin
    // to the engine; other plugins it does not have.
    profile->settings()->setAttribute(QWebEngineSettings::PluginsEnabled, true);
    profile->settings()->setAttribute(QWebEngineSettings::PdfViewerEnabled, true);
    // No window shows a site's icon; fetching it costs a request per page.
    profile->settings()->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);
    enableSpelling(profile);
    // The engine then opens a page's window only in answer to the user's
    // click or key, one for each, and answers window.open otherwise with
    // null, so a page knows at once that no window came. Set here once for
    // every page rather than on each new page, where it cost every window
    // a settings update of its own.
    profile->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    m_downloads = new DownloadManager(profile);
    // Without a presenter the engine drops every notification a page shows.
    auto *notifications = new DesktopNotifications(profile);
    m_notifications = notifications;
    profile->setNotificationPresenter([notifications](std::unique_ptr<QWebEngineNotification> notification) {
        notifications->present(std::move(notification));
    });
    // The profile writes what it still holds in memory, cookies among it,
    // when it is deleted: at the end of the run, once the closed windows and
    // their pages are gone, rather than somewhere in the engine's shutdown.
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, profile, [profile] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        delete profile;
    });
    return profile;
}

History *EngineContext::history()
{
    if (!m_history)
        m_history = new History(profile()->persistentStoragePath() + QStringLiteral("/History.sqlite"), this);
    return m_history;
}

DesktopNotifications *EngineContext::notifications()
{
    profile();
    return m_notifications;
}

DownloadManager *EngineContext::downloads()
{
    profile();
    return m_downloads;
}

void EngineContext::addPage(QWebEnginePage *page)
{
    m_pages.removeAll(nullptr);
    m_pages.append(page);
    connect(page, &QObject::destroyed, &m_closedPages, qOverload<>(&QTimer::start));
}

void EngineContext::releaseFreedMemory()
{
#ifdef __GLIBC__
    // The allocator keeps what was freed for the next allocation, scattered
    // among what is still in use, and returns it to the system only when
    // asked: a closed window's memory would otherwise stay with the program.
    m_memoryReleaser.start([] { malloc_trim(0); });
#endif
}

int EngineContext::pagesSharingProcessWith(const QWebEnginePage *page) const
{
    const qint64 pid = page->renderProcessPid();
    if (pid <= 0)
        return 0;
    int count = 0;
    for (const QPointer<QWebEnginePage> &other : m_pages) {
        if (other && other != page && other->renderProcessPid() == pid)
            ++count;
    }
    return count;
}
