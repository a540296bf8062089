#include "FormResendGuard.h"

#include <QMessageBox>
#include <QWebEngineUrlRequestInfo>

FormResendGuard::FormResendGuard(QWebEnginePage *page)
    : QWebEngineUrlRequestInterceptor(page)
    , m_page(page)
{
}

void FormResendGuard::navigationStarting(QWebEnginePage::NavigationType type, bool isMainFrame)
{
    if (!isMainFrame)
        return;
    switch (type) {
    case QWebEnginePage::NavigationTypeFormSubmitted:
    case QWebEnginePage::NavigationTypeReload:
    case QWebEnginePage::NavigationTypeBackForward:
    case QWebEnginePage::NavigationTypeRedirect:
        // A form sent with GET, or a reload of a page that came without
        // one, sends nothing again: the request's method decides.
        watchRequests(true);
        return;
    case QWebEnginePage::NavigationTypeLinkClicked:
    case QWebEnginePage::NavigationTypeTyped:
    case QWebEnginePage::NavigationTypeOther:
        break;
    }
    m_pageFromForm = false;
}

void FormResendGuard::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    if (info.resourceType() != QWebEngineUrlRequestInfo::ResourceTypeMainFrame)
        return;
    m_pageFromForm = info.requestMethod() == "POST";
    // Not from here: the engine is in the middle of asking.
    QMetaObject::invokeMethod(this, [this] { watchRequests(false); }, Qt::QueuedConnection);
}

void FormResendGuard::watchRequests(bool on)
{
    if (on == m_watching)
        return;
    m_watching = on;
    m_page->setUrlRequestInterceptor(on ? this : nullptr);
}

bool FormResendGuard::mayReload(QWidget *window) const
{
    if (!m_pageFromForm)
        return true;
    QMessageBox box(QMessageBox::Question, QStringLiteral("Send Form Again"),
                    QStringLiteral("This page is the answer to a form. Reloading it sends the form again, "
                                   "which repeats whatever the form did.\n\nSend the form again?"),
                    QMessageBox::Yes | QMessageBox::No, window);
    box.setObjectName(QStringLiteral("ResendPrompt"));
    box.setDefaultButton(QMessageBox::No);
    box.setWindowModality(Qt::WindowModal);
    return box.exec() == QMessageBox::Yes;
}
