#pragma once

#include "prompts/CertificateWarning.h"
#include "prompts/PermissionPrompt.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QThreadPool>
#include <QTimer>

class DesktopNotifications;
class DownloadManager;
class History;
class QWebEnginePage;
class QWebEngineProfile;

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
    CertificateTrust &certificates() { return m_certificates; }
    PermissionAnswers &permissions() { return m_permissions; }

    // Pages of the run, for what concerns several at once; a page is
    // forgotten when it is deleted.
    void addPage(QWebEnginePage *page);
    // The other pages that live in `page`'s page process and end with it.
    int pagesSharingProcessWith(const QWebEnginePage *page) const;

private:
    void releaseFreedMemory();

    QPointer<QWebEngineProfile> m_profile;
    QPointer<DownloadManager> m_downloads;
    QPointer<History> m_history;
    QPointer<DesktopNotifications> m_notifications;
    CertificateTrust m_certificates;
    PermissionAnswers m_permissions;
    QList<QPointer<QWebEnginePage>> m_pages;
    // What a closed window's page and view freed goes back to the system
    // a moment after the last of a row of closes, beside the GUI thread.
    QTimer m_closedPages;
    QThreadPool m_memoryReleaser;
};
