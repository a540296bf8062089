#pragma once

#include <QDialog>

class QAuthenticator;
class QLineEdit;
class QUrl;

// Asks for a user name and password when a site, or the proxy on the way to
// it, wants them. The site's own name and realm are the server's words and
// are shown as they are, never as markup.
class SignInDialog : public QDialog
{
    Q_OBJECT
public:
    SignInDialog(const QString &who, const QString &realm, QWidget *parent);

    QString userName() const;
    QString password() const;

    // Fills `auth` from the user's answer. On Cancel the request goes without
    // credentials, so the page the server sends with its refusal is shown.
    static void ask(QWidget *parent, const QUrl &url, QAuthenticator *auth, const QString &proxyHost = QString());

private:
    QLineEdit *m_user;
    QLineEdit *m_password;
};
