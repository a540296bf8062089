#pragma once

#include "prompts/CertificateWarning.h"
#include "prompts/PermissionPrompt.h"

#include <QObject>
#include <QPointer>

class DesktopNotifications;
class DownloadManager;
class History;
class QWebEngineProfile;
class SiteZoomStore;

// What the engine keeps for one run of the program, shared by every window
// it is handed to: the profile the pages live in, its downloads, the
// certificates the user chose to trust and the permissions the user gave.
//
// The profile is kept on disk, so a user who signed in to a site is still
// signed in on the next start: cookies and site data under the user's data
// folder, the HTTP cache under the user's cache folder, both in a "Kestrel"
// folder of their own. It is made when the first page needs it.
class EngineContext : public QObject
{
    Q_OBJECT
public:
    explicit EngineContext(QObject *parent = nullptr);
    ~EngineContext() override;

    QWebEngineProfile *profile();
    DownloadManager *downloads();
    // Where pages' notifications go; made with the profile.
    DesktopNotifications *notifications();
    // The pages seen in the profile's windows, kept in its folder.
    History *history();
    // The zoom of each site, kept in the profile's folder; an off-the-record
    // profile keeps it for the run only.
    SiteZoomStore &siteZoom();
    CertificateTrust &certificates() { return m_certificates; }
    PermissionAnswers &permissions() { return m_permissions; }

private:
    QPointer<QWebEngineProfile> m_profile;
    QPointer<DownloadManager> m_downloads;
    QPointer<History> m_history;
    QPointer<DesktopNotifications> m_notifications;
    QPointer<SiteZoomStore> m_siteZoom;
    CertificateTrust m_certificates;
    PermissionAnswers m_permissions;
};
