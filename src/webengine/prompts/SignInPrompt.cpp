#include "SignInPrompt.h"

#include "SignInDialog.h"
#include "window/PageSite.h"

#include <QAuthenticator>
#include <QEventLoop>
#include <QUrl>

SignInPrompt::SignInPrompt(QWidget *pageArea)
    : QObject(pageArea), m_area(pageArea)
{
}

void SignInPrompt::ask(const QUrl &url, QAuthenticator *auth, const QString &proxyHost)
{
    const QString site = proxyHost.isEmpty() ? PageSite::originOf(url) : QStringLiteral("proxy ") + proxyHost;
    const bool joins = m_dialog && m_dialogSite == site;
    constexpr int kCancelsBeforeSilence = 2;
    if (m_closing || m_refused.contains(site) || m_refused.size() >= kCancelsBeforeSilence || (m_dialog && !joins)) {
        *auth = QAuthenticator();
        return;
    }
    if (!joins) {
        const QString who = proxyHost.isEmpty() ? QStringLiteral("The site %1").arg(PageSite::of(url).name)
                                                : QStringLiteral("The proxy %1").arg(proxyHost);
        m_dialog = new SignInDialog(who, auth->realm(), m_area->window());
        m_dialogSite = site;
        // An answered dialog takes no more requests, though it is still there.
        connect(m_dialog, &QDialog::finished, this, [this] { m_dialog.clear(); });
        m_dialog->show();
    }
    // The engine waits for the answer in a loop of the dialog's own; the
    // dialog is not modal, so the rest of the program still gets its input.
    const QPointer<SignInDialog> dialog = m_dialog;
    QEventLoop wait;
    connect(dialog, &QDialog::finished, &wait, &QEventLoop::quit);
    connect(dialog, &QObject::destroyed, &wait, &QEventLoop::quit);
    ++m_asking;
    wait.exec();
    --m_asking;
    if (dialog && dialog->result() == QDialog::Accepted) {
        auth->setUser(dialog->userName());
        auth->setPassword(dialog->password());
    } else {
        *auth = QAuthenticator();
        if (!m_closing)
            m_refused.insert(site);
    }
    if (!joins && dialog)
        dialog->deleteLater();
}

void SignInPrompt::windowClosing()
{
    m_closing = true;
    if (m_dialog)
        m_dialog->reject();
}
