#pragma once

#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>

class FormResendGuard;
class LocalFileGuard;
class ScriptDialogs;
class ScriptErrorBox;
class WebEngineBrowserView;

// The page: routes window requests to the view that owns it, shows its
// script dialogs and script errors, and keeps the page within what the user
// allows.
class KestrelPage : public QWebEnginePage
{
    Q_OBJECT
public:
    KestrelPage(WebEngineBrowserView *owner, QObject *parent);
    ~KestrelPage() override;

    // Lets the page answer whether it may be left (its beforeunload) before
    // its window closes; the owner's closeRequested follows when it may. A
    // page that does not answer at all is not waited for.
    void askToClose();
    // False when the page came from a form and the user will not send it again.
    bool mayReload();
    // Whether `url` is where the page itself is going (or was last sent),
    // rather than one of its images, scripts or frames.
    bool isPageAddress(const QUrl &url) const;
    // The page has shown, or will show, a local file: from now on, and in
    // the windows it opens, it may try to read others.
    void showsFiles();

signals:
    // The page is about to be replaced by another document.
    void pageNavigationRequested();

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
    QUrl m_pageAddress;
    // The profile's, kept: the page may outlive its owner.
    QPointer<LocalFileGuard> m_fileGuard;
    bool m_showsFiles = false;
};
