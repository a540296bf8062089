#include "KestrelPage.h"

#include "PopUpGate.h"
#include "WebEngineBrowserView.h"

#include <QWebEngineSettings>

KestrelPage::KestrelPage(WebEngineBrowserView *owner, QObject *parent)
    : QWebEnginePage(parent), m_owner(owner), m_popUps(new PopUpGate(owner->widget()))
{
    // The engine then answers window.open without a user's click with null,
    // so a page knows at once that no window came.
    settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
}

QWebEnginePage *KestrelPage::createWindow(WebWindowType)
{
    if (!m_popUps->allowWindow())
        return nullptr;
    BrowserView *target = nullptr;
    bool cancel = false;
    emit m_owner->NewWindow2(&target, &cancel);
    auto *view = qobject_cast<WebEngineBrowserView *>(target);
    if (cancel || !view)
        return nullptr;
    return view->page();
}

void KestrelPage::javaScriptAlert(const QUrl &origin, const QString &msg)
{
    if (!m_owner->Silent())
        QWebEnginePage::javaScriptAlert(origin, msg);
}

bool KestrelPage::javaScriptConfirm(const QUrl &origin, const QString &msg)
{
    return !m_owner->Silent() && QWebEnginePage::javaScriptConfirm(origin, msg);
}

bool KestrelPage::javaScriptPrompt(const QUrl &origin, const QString &msg, const QString &def, QString *result)
{
    return !m_owner->Silent() && QWebEnginePage::javaScriptPrompt(origin, msg, def, result);
}

void KestrelPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message, int line,
                                           const QString &source)
{
    if (level == ErrorMessageLevel && !m_owner->Silent())
        m_owner->reportScriptError(message, line, source);
}
