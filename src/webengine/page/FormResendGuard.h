#pragma once

#include <QWebEnginePage>
#include <QWebEngineUrlRequestInterceptor>

class QWidget;

// Knows whether the page shown is the answer to a form sent with POST, so
// that reloading it asks before the form goes out again: a second order, a
// second payment or a second message is not the user's to find out later.
//
// Only the main frame's request tells, and only a navigation that may carry
// a form (a form sent, a reload, a step through the history, a redirect)
// needs to be asked: for those the guard watches the page's requests until
// that one has passed, and lets every other request of the page go by
// untouched.
class FormResendGuard : public QWebEngineUrlRequestInterceptor
{
public:
    explicit FormResendGuard(QWebEnginePage *page);

    // The page is about to start a navigation of this kind.
    void navigationStarting(QWebEnginePage::NavigationType type, bool isMainFrame);
    void interceptRequest(QWebEngineUrlRequestInfo &info) override;
    // True when a reload may go ahead: no form is involved, or the user
    // agreed to send it again.
    bool mayReload(QWidget *window) const;

private:
    void watchRequests(bool on);

    QWebEnginePage *m_page;
    bool m_watching = false;
    bool m_pageFromForm = false;
};
