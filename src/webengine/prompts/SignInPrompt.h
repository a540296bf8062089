#pragma once

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

class QAuthenticator;
class QUrl;
class QWidget;
class SignInDialog;

// A window's sign-in questions. The engine wants the answer before the page
// runs on, but the dialog holds nothing else: the window's close box, menus
// and address box and the other windows keep working, and closing the
// window cancels it. One dialog at a time: a second request for the same
// site waits for its answer, any other is cancelled. Once the user cancels,
// the page gets no more questions about that site until the user navigates,
// and after a second Cancel none at all, so a page that keeps asking, for
// one site or for many, cannot keep the user answering.
class SignInPrompt : public QObject
{
public:
    explicit SignInPrompt(QWidget *pageArea);

    // Fills `auth` from the user's answer, or leaves it null to cancel.
    void ask(const QUrl &url, QAuthenticator *auth, const QString &proxyHost = QString());
    bool isAsking() const { return m_asking > 0; }

    // The user went somewhere: sites refused before may ask again.
    void userNavigated() { m_refused.clear(); }
    // The window is closing: the dialog is cancelled, and so is what follows.
    void windowClosing();
    // The user chose to keep the window after all.
    void windowStays() { m_closing = false; }

private:
    QWidget *m_area;
    QPointer<SignInDialog> m_dialog;
    QString m_dialogSite;
    QSet<QString> m_refused;
    int m_asking = 0;
    bool m_closing = false;
};
