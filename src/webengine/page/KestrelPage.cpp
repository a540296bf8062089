#include "KestrelPage.h"

#include "FormResendGuard.h"
#include "PageServices.h"
#include "ScriptDialogs.h"
#include "ScriptErrorBox.h"
#include "downloads/DownloadManager.h"
#include "profile/EngineContext.h"
#include "view/WebEngineBrowserView.h"

#include <QCoreApplication>
#include <QWidget>

namespace {
// How long a page that shows no question may take to answer a close.
constexpr int kCloseAnswerMs = 3000;

// The engine asks its question before a page is left as a confirm box with
// this text of its own.
bool isLeaveQuestion(const QString &message)
{
    return message
           == QCoreApplication::translate("QWebEnginePage", "Are you sure you want to leave this page? Changes that you "
                                                            "made may not be saved.");
}
} // namespace

KestrelPage::KestrelPage(WebEngineBrowserView *owner, QObject *parent)
    : QWebEnginePage(owner->profileState().profile, parent), m_owner(owner),
      m_dialogs(new ScriptDialogs(owner->widget())), m_resend(new FormResendGuard(this))
{
    owner->context().addPage(this);
    m_fileGuard = owner->profileState().fileGuard;
    // Also a page restored with its history, or one that came by a way the
    // navigation check did not see.
    connect(this, &QWebEnginePage::urlChanged, this, [this](const QUrl &url) {
        if (url.isLocalFile())
            showsFiles();
    });
    connect(this, &QWebEnginePage::urlChanged, m_dialogs, &ScriptDialogs::pageMovedTo);
    // Also how a script closes a window that a script opened.
    connect(this, &QWebEnginePage::windowCloseRequested, this, &KestrelPage::letWindowClose);
    m_closeAnswer.setSingleShot(true);
    m_closeAnswer.setInterval(kCloseAnswerMs);
    connect(&m_closeAnswer, &QTimer::timeout, this, [this] {
        if (m_dialogs->isAsking() || m_owner->services()->isAsking())
            m_closeAnswer.start();
        else
            letWindowClose();
    });
}

void KestrelPage::askToClose()
{
    m_dialogs->windowClosing();
    m_owner->services()->windowClosing();
    if (!m_closeAnswer.isActive())
        triggerAction(RequestClose);
    m_closeAnswer.start();
}

bool KestrelPage::mayReload()
{
    return m_resend->mayReload(m_owner->widget()->window());
}

void KestrelPage::letWindowClose()
{
    m_closeAnswer.stop();
    emit m_owner->closeRequested();
}

KestrelPage::~KestrelPage()
{
    if (m_showsFiles && m_fileGuard)
        m_fileGuard->pageShowsFiles(false);
}

void KestrelPage::showsFiles()
{
    if (m_showsFiles)
        return;
    m_showsFiles = true;
    if (m_fileGuard)
        m_fileGuard->pageShowsFiles(true);
}

bool KestrelPage::isPageAddress(const QUrl &url) const
{
    // What is fetched has no fragment; where the page goes may have one.
    const auto fetched = QUrl::RemoveFragment | QUrl::RemoveUserInfo;
    return url.adjusted(fetched) == m_pageAddress.adjusted(fetched);
}

bool KestrelPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    m_resend->navigationStarting(type, isMainFrame);
    // Before the file's first request: its document must not run unwatched.
    if (url.isLocalFile())
        showsFiles();
    // Each step of the page's own navigation, redirects included, comes
    // here before anything is fetched; its parts do not.
    if (isMainFrame) {
        m_pageAddress = url;
        emit pageNavigationRequested();
    }
    return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
}

QWebEnginePage *KestrelPage::createWindow(WebWindowType)
{
    BrowserView *target = nullptr;
    bool cancel = false;
    emit m_owner->newWindowRequested(&target, &cancel);
    auto *view = qobject_cast<WebEngineBrowserView *>(target);
    if (cancel || !view)
        return nullptr;
    m_owner->profileState().downloads->pageOpened(this, view->page());
    // A window a local page opens shares what its opener may read.
    if (m_showsFiles)
        static_cast<KestrelPage *>(view->page())->showsFiles();
    return view->page();
}

void KestrelPage::javaScriptAlert(const QUrl &, const QString &message)
{
    if (!m_owner->isSilent())
        m_dialogs->ask(ScriptDialogs::Kind::Alert, url(), message);
}

bool KestrelPage::javaScriptConfirm(const QUrl &, const QString &message)
{
    if (isLeaveQuestion(message)) {
        // In silent mode nobody can be asked, and the user wanted to go.
        const bool leave = m_owner->isSilent() || m_dialogs->ask(ScriptDialogs::Kind::Leave, url(), message);
        if (!leave) {
            m_closeAnswer.stop();
            m_dialogs->windowStays();
            m_owner->services()->windowStays();
        }
        return leave;
    }
    return !m_owner->isSilent() && m_dialogs->ask(ScriptDialogs::Kind::Confirm, url(), message);
}

bool KestrelPage::javaScriptPrompt(const QUrl &, const QString &message, const QString &defaultValue,
                                   QString *result)
{
    *result = defaultValue;
    return !m_owner->isSilent() && m_dialogs->ask(ScriptDialogs::Kind::Prompt, url(), message, result);
}

void KestrelPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message, int line,
                                           const QString &source)
{
    if (level == ErrorMessageLevel && !m_owner->isSilent())
        reportScriptError(message, line, source);
}

void KestrelPage::reportScriptError(const QString &message, int line, const QString &source)
{
    // One box at a time, without blocking the window; later errors are added.
    if (m_errorBox) {
        m_errorBox->addError(message, line, source);
        return;
    }
    m_errorBox = new ScriptErrorBox(message, line, source, m_owner->widget());
    m_errorBox->show();
}
