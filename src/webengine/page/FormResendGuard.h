#pragma once

#include <QWebEngineUrlRequestInterceptor>

class QWidget;

// Knows whether the page shown is the answer to a form sent with POST, so
// that reloading it asks before the form goes out again: a second order, a
// second payment or a second message is not the user's to find out later.
class FormResendGuard : public QWebEngineUrlRequestInterceptor
{
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    void interceptRequest(QWebEngineUrlRequestInfo &info) override;
    // True when a reload may go ahead: no form is involved, or the user
    // agreed to send it again.
    bool mayReload(QWidget *window) const;

private:
    bool m_pageFromForm = false;
};
