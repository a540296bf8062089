#pragma once

#include <QObject>

class CertificateQuestion;
class PermissionBars;
class SignInPrompt;
class WebEngineBrowserView;
class QWidget;

// Answers what a page asks of the user beyond its own dialogs: sign-in,
// permissions, full screen, untrusted certificates. None of it holds the
// window, and closing the window answers whatever is still asked with no.
class PageServices : public QObject
{
    Q_OBJECT
public:
    // Serves the page of `view`; the permission bars go in `pageArea`.
    PageServices(WebEngineBrowserView *view, QWidget *pageArea);

    // The bars to place above the page.
    QWidget *permissionBars() const;
    // A question waits for the user in a loop of its own.
    bool isAsking() const;
    void windowClosing();
    void windowStays();
    // The user navigated: sites whose sign-in they cancelled may ask again.
    void userNavigated();

signals:
    // A part of the page from `host` was not loaded: its certificate is not trusted.
    void blocked(const QString &host);

private:
    SignInPrompt *m_signIn;
    PermissionBars *m_permissions;
    CertificateQuestion *m_certificates;
};
