#include "PageServices.h"

#include "SignInDialog.h"
#include "WebEngineBrowserView.h"

#include <QAuthenticator>
#include <QWebEnginePage>
#include <QWebEngineView>

void attachPageServices(WebEngineBrowserView *view)
{
    QWebEnginePage *page = view->page();
    QWidget *owner = view->view();
    QObject::connect(page, &QWebEnginePage::authenticationRequired, owner,
                     [owner](const QUrl &url, QAuthenticator *auth) { SignInDialog::ask(owner, url, auth); });
    QObject::connect(page, &QWebEnginePage::proxyAuthenticationRequired, owner,
                     [owner](const QUrl &url, QAuthenticator *auth, const QString &proxyHost) {
                         SignInDialog::ask(owner, url, auth, proxyHost);
                     });
}
