#pragma once

#include "downloads/DownloadManager.h"
#include "profile/ProfileFolder.h"
#include "prompts/DesktopNotifications.h"
#include "profile/LocalFileGuard.h"
#include "prompts/CertificateWarning.h"
#include "prompts/PermissionAnswers.h"
#include "zoom/SiteZoomStore.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QThreadPool>
#include <QTimer>
#include <QWebEngineProfile>

#include <memory>

class History;
class UserActions;
class QWebEnginePage;

// What the run keeps for one profile of the engine: the profile the pages
// live in, its downloads and notifications, the certificates the user chose
// to trust and the permissions the user gave in it.
struct ProfileState
{
    QPointer<QWebEngineProfile> profile;
    QPointer<DownloadManager> downloads;
    // Where pages' notifications go; made with the profile.
    QPointer<DesktopNotifications> notifications;
    CertificateTrust certificates;
    PermissionAnswers permissions;
    // The zoom of each site: kept in the profile's folder, or for the run
    // only in a private profile.
    QPointer<SiteZoomStore> zoom;
    // Watches the profile's requests while a page that showed a local file lives.
    QPointer<LocalFileGuard> fileGuard;
};

// What the engine keeps for one run of the program, shared by every window
// it is handed to.
//
// The profile is kept on disk, so a user who signed in to a site is still
// signed in on the next start: cookies and site data in the profile folder,
// the HTTP cache in its cache folder. It is made when the first page needs
// it. Private windows share a second profile that keeps everything in
// memory, answers included, and forgets it all when the last private page
// and its downloads are gone; the next private window starts afresh.
class EngineContext : public QObject, public DownloadList
{
    Q_OBJECT
public:
    explicit EngineContext(const ProfileFolder &folder, QObject *parent = nullptr);
    ~EngineContext() override;

    // The profile on disk and what the run keeps for it.
    QWebEngineProfile *profile() { return state(false).profile; }
    DownloadManager *downloads() { return state(false).downloads; }
    // The on-disk profile's, or the private one's; made when first asked for.
    ProfileState &state(bool privately);
    // Keeps the private profile while `page` lives.
    void holdPrivate(QObject *page);
    // The pages seen in the profile's windows (private ones are not
    // recorded), kept in its folder.
    History *history();

    // The on-disk profile's zoom of each site.
    SiteZoomStore &siteZoom() { return *state(false).zoom; }

    // Where the profile keeps its files; other stores of the profile belong here too.
    const ProfileFolder &profileFolder() const { return m_folder; }

    // The downloads of both profiles: the last window asks about either.
    int running() const override;
    void cancelAll() override;
    void showWindow() override;

    // Cookies go at once; the cache as soon as the engine gets to it.
    void clearCookies();
    void clearCache();

    // The end of the run, once every page has gone: the history and the
    // profiles write what they still hold in memory, cookies among it.
    void closeProfiles();

    // Pages of the run, for what concerns several at once; a page is
    // forgotten when it is deleted.
    void addPage(QWebEnginePage *page);
    // The other pages that live in `page`'s page process and end with it.
    int pagesSharingProcessWith(const QWebEnginePage *page) const;

private:
    void makeProfile();
    UserActions *userActions();
    void releaseFreedMemory();
    void makePrivateProfile();
    void releasePrivateWhenUnused();

    ProfileFolder m_folder;
    // Both profiles save to the same folders.
    std::shared_ptr<DownloadNames> m_downloadNames;
    QPointer<UserActions> m_userActions;
    ProfileState m_disk;
    std::unique_ptr<ProfileState> m_private;
    QPointer<History> m_history;
    int m_privatePages = 0;
    int m_privateDownloads = 0;
    QList<QPointer<QWebEnginePage>> m_pages;
    // What a closed window's page and view freed goes back to the system
    // a moment after the last of a row of closes, beside the GUI thread.
    QTimer m_closedPages;
    QThreadPool m_memoryReleaser;
};
