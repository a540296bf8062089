#include "PageServices.h"

#include "KestrelPage.h"
#include "prompts/CertificateWarning.h"
#include "prompts/DesktopNotifications.h"
#include "prompts/FullScreen.h"
#include "prompts/PermissionBar.h"
#include "prompts/SignInPrompt.h"
#include "profile/EngineContext.h"
#include "view/WebEngineBrowserView.h"

#include <QAuthenticator>
#include <QWebEngineCertificateError>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineView>

PageServices::PageServices(WebEngineBrowserView *view, QWidget *pageArea)
    : QObject(view)
{
    auto *page = static_cast<KestrelPage *>(view->page());
    QWebEngineView *shown = view->view();
    ProfileState &state = view->profileState();
    m_signIn = new SignInPrompt(pageArea);
    m_permissions = new PermissionBars(state.permissions, page, pageArea);
    m_certificates = new CertificateQuestion(state.certificates, shown,
                                             [page](const QUrl &url) { return page->isPageAddress(url); });
    connect(m_certificates, &CertificateQuestion::blocked, this, &PageServices::blocked);

    connect(page, &QWebEnginePage::authenticationRequired, this,
            [this](const QUrl &url, QAuthenticator *auth) { m_signIn->ask(url, auth); });
    connect(page, &QWebEnginePage::proxyAuthenticationRequired, this,
            [this](const QUrl &url, QAuthenticator *auth, const QString &proxyHost) {
                m_signIn->ask(url, auth, proxyHost);
            });
    connect(page, &QWebEnginePage::featurePermissionRequested, this,
            [this, page, notifications = state.notifications.data()](const QUrl &origin, QWebEnginePage::Feature feature) {
                // Allowed, they would go nowhere: nobody is asked.
                if (feature == QWebEnginePage::Notifications && !notifications->available()) {
                    page->setFeaturePermission(origin, feature, QWebEnginePage::PermissionDeniedByUser);
                    return;
                }
                m_permissions->request(origin, feature);
            });
    // A question asked by a page that has gone answers nothing the user sees.
    connect(page, &KestrelPage::pageNavigationRequested, m_permissions, &PermissionBars::withdrawAll);
    connect(page, &QWebEnginePage::fullScreenRequested, shown,
            [shown](QWebEngineFullScreenRequest request) { handleFullScreenRequest(shown, request); });
    connect(page, &QWebEnginePage::certificateError, m_certificates, &CertificateQuestion::handle);
}

QWidget *PageServices::permissionBars() const
{
    return m_permissions;
}

bool PageServices::isAsking() const
{
    return m_signIn->isAsking();
}

void PageServices::windowClosing()
{
    m_signIn->windowClosing();
    m_permissions->withdrawAll();
    m_certificates->windowClosing();
}

void PageServices::windowStays()
{
    m_signIn->windowStays();
    m_certificates->windowStays();
}

void PageServices::userNavigated()
{
    m_signIn->userNavigated();
}
