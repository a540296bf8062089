#pragma once

#include <QTimer>
#include <QWebEnginePage>

class FormResendGuard;
class PopUpGate;
class ScriptDialogs;
class WebEngineBrowserView;

// The page: routes window requests, script dialogs and script errors to the
// view that owns it, and keeps the page within what the user allows.
class KestrelPage : public QWebEnginePage
{
public:
    KestrelPage(WebEngineBrowserView *owner, QObject *parent);

    // Lets the page answer whether it may be left (its beforeunload) before
    // its window closes; the owner's WindowClosing follows when it may. A
    // page that does not answer at all is not waited for.
    void askToClose();
    // False when the page came from a form and the user will not send it again.
    bool mayReload();

protected:
    QWebEnginePage *createWindow(WebWindowType type) override;
    void javaScriptAlert(const QUrl &origin, const QString &msg) override;
    bool javaScriptConfirm(const QUrl &origin, const QString &msg) override;
    bool javaScriptPrompt(const QUrl &origin, const QString &msg, const QString &def, QString *result) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message, int line,
                                  const QString &source) override;

private:
    void letWindowClose();

    WebEngineBrowserView *m_owner;
    PopUpGate *m_popUps;
    ScriptDialogs *m_dialogs;
    FormResendGuard *m_resend;
    QTimer m_closeAnswer;
};
