#include "PageServices.h"

#include "prompts/CertificateWarning.h"
#include "prompts/DesktopNotifications.h"
#include "prompts/FullScreen.h"
#include "prompts/PermissionPrompt.h"
#include "prompts/SignInDialog.h"
#include "profile/EngineContext.h"
#include "view/WebEngineBrowserView.h"

#include <QAuthenticator>
#include <QWebEngineCertificateError>
#include <QWebEngineFullScreenRequest>
#include <QWebEnginePage>
#include <QWebEngineView>

void attachPageServices(WebEngineBrowserView *view)
{
    QWebEnginePage *page = view->page();
    QWebEngineView *shown = view->view();
    ProfileState *state = &view->profileState();
    QObject::connect(page, &QWebEnginePage::authenticationRequired, shown,
                     [shown](const QUrl &url, QAuthenticator *auth) { SignInDialog::ask(shown, url, auth); });
    QObject::connect(page, &QWebEnginePage::proxyAuthenticationRequired, shown,
                     [shown](const QUrl &url, QAuthenticator *auth, const QString &proxyHost) {
                         SignInDialog::ask(shown, url, auth, proxyHost);
                     });
    QObject::connect(page, &QWebEnginePage::featurePermissionRequested, shown,
                     [state, page, shown](const QUrl &origin, QWebEnginePage::Feature feature) {
                         // Allowed, they would go nowhere: nobody is asked.
                         if (feature == QWebEnginePage::Notifications && !state->notifications->available()) {
                             page->setFeaturePermission(origin, feature, QWebEnginePage::PermissionDeniedByUser);
                             return;
                         }
                         PermissionPrompt::ask(state->permissions, page, shown, origin, feature);
                     });
    QObject::connect(page, &QWebEnginePage::fullScreenRequested, shown,
                     [shown](QWebEngineFullScreenRequest request) { handleFullScreenRequest(shown, request); });
    QObject::connect(page, &QWebEnginePage::certificateError, shown,
                     [state, shown](const QWebEngineCertificateError &error) {
                         handleCertificateError(state->certificates, shown, error);
                     });
}
