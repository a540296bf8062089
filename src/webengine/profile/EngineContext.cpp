#include "EngineContext.h"

#include "LocalFileGuard.h"
#include "downloads/DownloadManager.h"
#include "downloads/UserActions.h"
#include "history/History.h"
#include "prompts/DesktopNotifications.h"
#include "Spelling.h"
#include "zoom/SiteZoomStore.h"

#include <QCoreApplication>
#include <QTimer>
#include <QWebEngineCookieStore>
#include <QWebEngineDownloadRequest>
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

// What either profile has: settings, spelling, downloads, notifications and zoom.
void setUp(ProfileState &state, QWebEngineProfile *profile, std::shared_ptr<DownloadNames> names,
           UserActions *actions)
{
    state.profile = profile;
    // Pages may fill the screen; the engine lets them only on a user's action.
    profile->settings()->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, true);
    // PDFs open in the window in the engine's own viewer, which is a plugin
    // to the engine; other plugins it does not have.
    profile->settings()->setAttribute(QWebEngineSettings::PluginsEnabled, true);
    profile->settings()->setAttribute(QWebEngineSettings::PdfViewerEnabled, true);
    // A page opened from a file is no key to the user's other files.
    state.fileGuard = new LocalFileGuard(profile);
    // No window shows a site's icon; fetching it costs a request per page.
    profile->settings()->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);
    enableSpelling(profile);
    // The engine then opens a page's window only in answer to the user's
    // click or key, one for each, and answers window.open otherwise with
    // null, so a page knows at once that no window came. Set here once for
    // every page rather than on each new page, where it cost every window
    // a settings update of its own.
    profile->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    state.downloads = new DownloadManager(profile, std::move(names), actions);
    // Without a presenter the engine drops every notification a page shows.
    auto *notifications = new DesktopNotifications(profile);
    state.notifications = notifications;
    profile->setNotificationPresenter([notifications](std::unique_ptr<QWebEngineNotification> notification) {
        notifications->present(std::move(notification));
    });
    const QString zoomFile = profile->isOffTheRecord()
                                 ? QString()
                                 : profile->persistentStoragePath() + QStringLiteral("/site-zoom.json");
    state.zoom = new SiteZoomStore(zoomFile, profile);
    QString error;
    if (!state.zoom->load(&error))
        qCWarning(lcZoom) << "the sites' zoom starts afresh:" << error;
}

} // namespace

EngineContext::EngineContext(const ProfileFolder &folder, QObject *parent)
    : QObject(parent)
    , m_folder(folder)
    , m_downloadNames(DownloadManager::makeNames())
{
    m_closedPages.setSingleShot(true);
    m_closedPages.setInterval(kAfterCloseMs);
    connect(&m_closedPages, &QTimer::timeout, this, &EngineContext::releaseFreedMemory);
    m_memoryReleaser.setMaxThreadCount(1);
}

EngineContext::~EngineContext()
{
    closeProfiles();
}

ProfileState &EngineContext::state(bool privately)
{
    if (!privately) {
        if (!m_disk.profile)
            makeProfile();
        return m_disk;
    }
    if (!m_private)
        makePrivateProfile();
    return *m_private;
}

void EngineContext::makeProfile()
{
    // What the user cleared that the engine could not remove while it ran
    // goes before the engine opens the folder.
    ProfileCleanup::runScheduled(m_folder);
    // A child of the application, so that a run that never quits its event
    // loop still deletes it after every window and page (which the
    // application deletes first).
    auto *profile = new QWebEngineProfile(QStringLiteral("Kestrel"), QCoreApplication::instance());
    profile->setPersistentStoragePath(m_folder.path);
    profile->setCachePath(m_folder.cachePath);
    setUp(m_disk, profile, m_downloadNames, userActions());
}

UserActions *EngineContext::userActions()
{
    // Made with the first profile: it watches the application's input.
    if (!m_userActions)
        m_userActions = new UserActions(this);
    return m_userActions;
}

History *EngineContext::history()
{
    if (!m_history)
        m_history = new History(m_folder.path + QStringLiteral("/History.sqlite"), this);
    return m_history;
}

void EngineContext::makePrivateProfile()
{
    // A profile without a storage name keeps cookies, the cache and site
    // data in memory alone.
    auto *profile = new QWebEngineProfile(QCoreApplication::instance());
    m_private = std::make_unique<ProfileState>();
    setUp(*m_private, profile, m_downloadNames, userActions());
    // A private download goes on after its window closed, as others do:
    // the profile stays until it ends.
    connect(profile, &QWebEngineProfile::downloadRequested, this, [this](QWebEngineDownloadRequest *download) {
        ++m_privateDownloads;
        connect(download, &QWebEngineDownloadRequest::isFinishedChanged, this, [this] {
            --m_privateDownloads;
            releasePrivateWhenUnused();
        });
    });
}

void EngineContext::holdPrivate(QObject *page)
{
    ++m_privatePages;
    connect(page, &QObject::destroyed, this, [this] {
        --m_privatePages;
        releasePrivateWhenUnused();
    });
}

void EngineContext::releasePrivateWhenUnused()
{
    // Later: a page goes before its profile may, and a new private window
    // may come meanwhile.
    QTimer::singleShot(0, this, [this] {
        if (!m_private || m_privatePages > 0 || m_privateDownloads > 0)
            return;
        delete m_private->profile;
        m_private.reset();
    });
}

int EngineContext::running() const
{
    int count = m_disk.downloads ? m_disk.downloads->running() : 0;
    if (m_private && m_private->downloads)
        count += m_private->downloads->running();
    return count;
}

void EngineContext::cancelAll()
{
    if (m_disk.downloads)
        m_disk.downloads->cancelAll();
    if (m_private && m_private->downloads)
        m_private->downloads->cancelAll();
}

void EngineContext::showWindow()
{
    downloads()->showWindow();
    // Private downloads are listed apart, and only while the private
    // profile lasts.
    if (m_private && m_private->downloads && !m_private->downloads->list().isEmpty())
        m_private->downloads->showWindow();
}

void EngineContext::clearCookies()
{
    profile()->cookieStore()->deleteAllCookies();
}

void EngineContext::clearCache()
{
    profile()->clearHttpCache();
}

void EngineContext::closeProfiles()
{
    delete m_history;
    if (QCoreApplication::instance())
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (m_private) {
        delete m_private->profile;
        m_private.reset();
    }
    delete m_disk.profile;
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
