#pragma once

#include <QDialog>

class QLineEdit;

// Asks for a user name and password when a site, or the proxy on the way to
// it, wants them. The site's own name and realm are the server's words and
// are shown as they are, never as markup. Escape cancels.
class SignInDialog : public QDialog
{
    Q_OBJECT
public:
    SignInDialog(const QString &who, const QString &realm, QWidget *parent);

    QString userName() const;
    QString password() const;

private:
    QLineEdit *m_user;
    QLineEdit *m_password;
};
