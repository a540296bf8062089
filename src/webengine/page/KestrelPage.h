#pragma once

#include <QPointer>
#include <QTimer>
#include <QWebEnginePage>

class FormResendGuard;
class ScriptDialogs;
class ScriptErrorBox;
class WebEngineBrowserView;

// The page: routes window requests to the view that owns it, shows its
// script dialogs and script errors, and keeps the page within what the user
// allows.
class KestrelPage : public QWebEnginePage
{
public:
    KestrelPage(WebEngineBrowserView *owner, QObject *parent);

    // Lets the page answer whether it may be left (its beforeunload) before
    // its window closes; the owner's closeRequested follows when it may. A
    // page that does not answer at all is not waited for.
    void askToClose();
    // False when the page came from a form and the user will not send it again.
    bool mayReload();

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage *createWindow(WebWindowType type) override;
    void javaScriptAlert(const QUrl &origin, const QString &message) override;
    bool javaScriptConfirm(const QUrl &origin, const QString &message) override;
    bool javaScriptPrompt(const QUrl &origin, const QString &message, const QString &defaultValue,
                          QString *result) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message, int line,
                                  const QString &source) override;

private:
    void letWindowClose();
    void reportScriptError(const QString &message, int line, const QString &source);

    WebEngineBrowserView *m_owner;
    ScriptDialogs *m_dialogs;
    FormResendGuard *m_resend;
    QPointer<ScriptErrorBox> m_errorBox;
    QTimer m_closeAnswer;
};
