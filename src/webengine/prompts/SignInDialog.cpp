#include "SignInDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

SignInDialog::SignInDialog(const QString &who, const QString &realm, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("SignInDialog"));
    setWindowTitle(QStringLiteral("Sign In"));
    // Closing the dialog is the user's Cancel; the window behind stays usable.
    setWindowModality(Qt::NonModal);
    auto *column = new QVBoxLayout(this);
    auto *asks = new QLabel(QStringLiteral("%1 asks for a user name and password.").arg(who), this);
    asks->setTextFormat(Qt::PlainText);
    asks->setWordWrap(true);
    column->addWidget(asks);
    if (!realm.isEmpty()) {
        auto *says = new QLabel(QStringLiteral("The site says: %1").arg(realm), this);
        says->setObjectName(QStringLiteral("lblRealm"));
        says->setTextFormat(Qt::PlainText);
        says->setWordWrap(true);
        column->addWidget(says);
    }
    auto *form = new QFormLayout;
    m_user = new QLineEdit(this);
    m_user->setObjectName(QStringLiteral("txtUserName"));
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("txtPassword"));
    m_password->setEchoMode(QLineEdit::Password);
    m_user->setAccessibleName(QStringLiteral("User name"));
    m_user->setAccessibleDescription(QStringLiteral("Your user name for this site"));
    m_password->setAccessibleName(QStringLiteral("Password"));
    m_password->setAccessibleDescription(QStringLiteral("Your password for this site"));
    form->addRow(QStringLiteral("&User name:"), m_user);
    form->addRow(QStringLiteral("&Password:"), m_password);
    column->addLayout(form);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Sign In"));
    column->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    m_user->setFocus();
}

QString SignInDialog::userName() const
{
    return m_user->text();
}

QString SignInDialog::password() const
{
    return m_password->text();
}
