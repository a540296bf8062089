#include "WebEngineBrowserView.h"

#include "FindBar.h"
#include "downloads/DownloadManager.h"
#include "profile/EngineContext.h"
#include "page/KestrelPage.h"
#include "LoadStatus.h"
#include "PageContextMenu.h"
#include "PageZoom.h"
#include "page/PageProperties.h"
#include "page/PageServices.h"
#include "printing/PagePrinter.h"
#include "PageWatchdog.h"
#include "page/SavePage.h"
#include "page/VisitRecorder.h"

#include <QDataStream>
#include <QIODevice>
#include <QMenu>
#include <QPointer>
#include <QVBoxLayout>
#include <QWebEngineDownloadRequest>
#include <QWebEngineScript>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {
// The engine counts a load in percent.
constexpr int kProgressMax = 100;
// What the window reads as a load that has ended.
constexpr int kLoadEnded = -1;

const QUrl &blankPage()
{
    static const QUrl blank(QStringLiteral("about:blank"));
    return blank;
}
} // namespace

WebEngineBrowserView::WebEngineBrowserView(EngineContext &context, bool privately, QWidget *parent)
    : BrowserView(parent)
    , m_context(context)
    , m_profileState(&context.state(privately))
    , m_private(privately)
{
    m_container = new QWidget(parent);
    auto *column = new QVBoxLayout(m_container);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    m_view = new QWebEngineView(m_container);
    m_view->setPage(new KestrelPage(this, m_view));
    if (privately)
        m_context.holdPrivate(m_view->page());
    m_services = new PageServices(this, m_container);
    // What a private window sees is kept nowhere.
    if (!privately)
        new VisitRecorder(m_view->page(), m_context.history());
    m_find = new FindBar(m_view, m_container);
    m_watchdog = new PageWatchdog(m_view->page(), m_context, m_container);
    m_printer = new PagePrinter(m_view, m_container, this);
    connect(m_printer, &PagePrinter::statusChanged, this, &BrowserView::statusTextChanged);
    m_zoom = new PageZoom(m_view, *m_profileState->zoom, this);
    connect(m_zoom, &PageZoom::zoomed, this,
            [this](int percent) { emit statusTextChanged(QStringLiteral("Zoom: %1 %").arg(percent)); });
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_view, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        QMenu *menu = makePageContextMenu(this);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(m_view->mapToGlobal(at));
    });
    column->addWidget(m_watchdog);
    column->addWidget(m_services->permissionBars());
    column->addWidget(m_view, 1);
    column->addWidget(m_find);
    m_container->setFocusProxy(m_view);
    connectPage();
}

WebEngineBrowserView::~WebEngineBrowserView() = default;

void WebEngineBrowserView::connectPage()
{
    QWebEnginePage *p = m_view->page();
    connect(p, &QWebEnginePage::linkHovered, this, &BrowserView::statusTextChanged);
    connect(p, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo &info) {
        updateSite();
        emit statusTextChanged(loadStatusText(info) + blockedText());
    });
    connect(p, &QWebEnginePage::loadProgress, this, [this](int progress) {
        updateSite();
        emit progressChanged(progress, kProgressMax);
    });
    connect(p, &QWebEnginePage::loadFinished, this, &WebEngineBrowserView::onLoadFinished);
    connect(p, &QWebEnginePage::loadStarted, this, [this] { emit loadingChanged(true); });
    connect(p, &QWebEnginePage::titleChanged, this, [this](const QString &title) {
        updateSite();
        emit titleChanged(title);
    });
    connect(p, &QWebEnginePage::urlChanged, this, [this] {
        updateSite();
        emit historyChanged();
    });
    connect(static_cast<KestrelPage *>(p), &KestrelPage::pageNavigationRequested, this, [this] { m_blocked.clear(); });
    connect(m_services, &PageServices::blocked, this, &WebEngineBrowserView::onBlocked);
    connect(m_profileState->downloads, &DownloadManager::statusChanged, this,
            [this](const QWebEnginePage *from, const QString &text) {
                if (from == m_view->page())
                    emit statusTextChanged(text);
            });
    connect(p, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                if (status != QWebEnginePage::NormalTerminationStatus)
                    QMetaObject::invokeMethod(this, &WebEngineBrowserView::onRendererGone, Qt::QueuedConnection);
            });
}

void WebEngineBrowserView::updateSite()
{
    // The history's current entry is the page committed: a load still on its
    // way, or waiting for a question about its certificate, is not shown.
    const QUrl committed = m_view->history()->currentItem().url();
    const PageSite site = PageSite::of(committed, m_profileState->certificates.hasExceptionFor(committed));
    if (site == m_site)
        return;
    m_site = site;
    emit siteChanged(site);
}

void WebEngineBrowserView::onBlocked(const QString &host)
{
    if (!m_blocked.contains(host))
        m_blocked.append(host);
    emit statusTextChanged(QStringLiteral("Blocked a part of the page from %1: its certificate is not trusted").arg(host));
}

QString WebEngineBrowserView::blockedText() const
{
    constexpr int kHostsNamed = 3;
    if (m_blocked.isEmpty())
        return QString();
    QString hosts = QStringList(m_blocked.mid(0, kHostsNamed)).join(QStringLiteral(", "));
    if (m_blocked.size() > kHostsNamed)
        hosts += QStringLiteral(" and %1 more").arg(m_blocked.size() - kHostsNamed);
    return QStringLiteral("; blocked parts whose certificate is not trusted, from %1").arg(hosts);
}

void WebEngineBrowserView::userNavigates()
{
    m_watchdog->userActed();
    m_services->userNavigated();
}

void WebEngineBrowserView::onLoadFinished(bool ok)
{
    updateSite();
    const QString url = address();
    if (m_dropBlankFromHistory && url != blankPage().toString()) {
        // The blank start page was asked to stay out of the history.
        m_dropBlankFromHistory = false;
        QWebEngineHistory *history = m_view->history();
        if (history->canGoBack() && history->backItem().url() == blankPage())
            history->clear();
    }
    emit progressChanged(kLoadEnded, kProgressMax);
    emit loadingChanged(false);
    emit loadFinished(url, ok);
    emit historyChanged();
    // Save and Print treat a PDF in the engine's viewer as the document it
    // is. The page's own scripts cannot answer for it.
    setShowsPdf(false);
    QPointer<WebEngineBrowserView> self(this);
    m_view->page()->runJavaScript(QStringLiteral("document.contentType"), QWebEngineScript::ApplicationWorld,
                                  [self](const QVariant &type) {
                                      if (self)
                                          self->setShowsPdf(type.toString() == QLatin1String("application/pdf"));
                                  });
}

void WebEngineBrowserView::setShowsPdf(bool on)
{
    m_showsPdf = on;
    m_printer->setPdfSaver(on ? [this](const QString &path) { savePdfTo(path); }
                              : std::function<void(const QString &)>());
}

void WebEngineBrowserView::savePdfTo(const QString &path)
{
    // The engine saves a PDF as a download of its address.
    m_profileState->downloads->saveTo(page(), page()->url(), path);
    page()->save(path, QWebEngineDownloadRequest::SingleHtmlSaveFormat);
}

QWidget *WebEngineBrowserView::widget()
{
    return m_container;
}

QWebEnginePage *WebEngineBrowserView::page() const
{
    return m_view->page();
}

QUrl WebEngineBrowserView::addressToUrl(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return {};
    if (t.startsWith(QLatin1String("view-source:"), Qt::CaseInsensitive))
        return QUrl(t);
    return QUrl::fromUserInput(t);
}

void WebEngineBrowserView::navigate(const QString &text, History history)
{
    // The flag outlives this load: the blank page leaves the history when the
    // next real page has finished.
    if (history == History::Skip)
        m_dropBlankFromHistory = true;
    const QUrl url = addressToUrl(text);
    if (text.trimmed().isEmpty())
        return;
    userNavigates();
    m_crashedUrl.clear();
    m_restoreOnReload = false;
    if (!url.isValid()) {
        m_view->setHtml(QStringLiteral("<title>Address not valid</title><h2>This address cannot be opened</h2><p>")
                        + text.toHtmlEscaped() + QStringLiteral("</p>"));
        return;
    }
    // An address the user gave is the user's own step: its download needs no question.
    m_profileState->downloads->userNavigated(m_view->page(), url);
    m_view->load(url);
}

void WebEngineBrowserView::goBack()
{
    userNavigates();
    m_view->back();
}

void WebEngineBrowserView::goForward()
{
    userNavigates();
    m_view->forward();
}

void WebEngineBrowserView::reload()
{
    reload(Cache::Use);
}

void WebEngineBrowserView::reload(Cache cache)
{
    if (m_restoreOnReload) {
        m_restoreOnReload = false;
        m_crashedUrl.clear();
        QDataStream pages(m_crashedHistory);
        pages >> *m_view->history();
        return;
    }
    if (!m_crashedUrl.isEmpty()) {
        const QUrl url = m_crashedUrl;
        m_crashedUrl.clear();
        m_view->load(url);
        return;
    }
    if (!static_cast<KestrelPage *>(m_view->page())->mayReload())
        return;
    userNavigates();
    if (cache == Cache::Bypass)
        m_view->triggerPageAction(QWebEnginePage::ReloadAndBypassCache);
    else
        m_view->reload();
}

void WebEngineBrowserView::stop()
{
    m_watchdog->userActed();
    m_view->stop();
}

QString WebEngineBrowserView::address() const
{
    if (!m_crashedUrl.isEmpty())
        return m_crashedUrl.toString();
    return m_view->url().toString();
}

QString WebEngineBrowserView::title() const
{
    return m_view->title();
}

void WebEngineBrowserView::showFind()
{
    m_find->open();
}

bool WebEngineBrowserView::askPageToClose()
{
    // A stopped page or an empty view has nobody to ask, unless a question
    // of its own still waits for the user and must be answered first.
    if (!m_crashedUrl.isEmpty() || (m_view->url().isEmpty() && !m_services->isAsking()))
        return false;
    static_cast<KestrelPage *>(m_view->page())->askToClose();
    return true;
}

void WebEngineBrowserView::onRendererGone()
{
    const QUrl url = m_view->url();
    m_crashedHistory.clear();
    QDataStream pages(&m_crashedHistory, QIODevice::WriteOnly);
    pages << *m_view->history();
    showStopped();
    m_crashedUrl = url.isEmpty() ? blankPage() : url;
}

void WebEngineBrowserView::showStopped()
{
    m_view->setHtml(QStringLiteral("<title>Page stopped</title><h2>This page stopped working</h2>"
                                   "<p>Press Reload to open it again.</p>"));
}

namespace {
// The view's state: this version, whether the page had stopped (and at
// which address), then the back/forward list as the engine writes it.
constexpr quint32 kStateVersion = 1;
} // namespace

QByteArray WebEngineBrowserView::saveState() const
{
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s.setVersion(QDataStream::Qt_6_0);
    const bool stopped = !m_crashedUrl.isEmpty();
    s << kStateVersion << stopped << m_crashedUrl;
    if (stopped)
        s << m_crashedHistory;
    else
        s << *m_view->history();
    return out;
}

bool WebEngineBrowserView::restoreState(const QByteArray &state)
{
    QDataStream s(state);
    s.setVersion(QDataStream::Qt_6_0);
    quint32 version = 0;
    bool stopped = false;
    QUrl url;
    s >> version >> stopped >> url;
    if (s.status() != QDataStream::Ok || version != kStateVersion)
        return false;
    if (stopped) {
        // A page that stopped its renderer comes back unloaded: were it to
        // take Kestrel down, it would not do so at every start.
        QByteArray pages;
        s >> pages;
        if (s.status() != QDataStream::Ok)
            return false;
        m_crashedHistory = pages;
        m_crashedUrl = url.isEmpty() ? blankPage() : url;
        m_restoreOnReload = true;
        showStopped();
        return true;
    }
    s >> *m_view->history();
    return s.status() == QDataStream::Ok;
}

void WebEngineBrowserView::setTextSize(int level)
{
    m_zoom->setTextSize(level);
}

void WebEngineBrowserView::zoom(Zoom step)
{
    m_zoom->step(step);
}

void WebEngineBrowserView::run(Command command)
{
    QWebEnginePage *p = m_view->page();
    switch (command) {
    case Command::SaveAs:
        savePageAs(p, m_container, m_showsPdf ? [this](const QString &path) { savePdfTo(path); }
                                              : std::function<void(const QString &)>());
        return;
    case Command::PageSetup: m_printer->pageSetup(); return;
    case Command::Print: m_printer->print(); return;
    case Command::PrintPreview: m_printer->preview(); return;
    case Command::Properties: showPageProperties(p, m_container); return;
    case Command::Cut: p->triggerAction(QWebEnginePage::Cut); return;
    case Command::Copy: p->triggerAction(QWebEnginePage::Copy); return;
    case Command::Paste: p->triggerAction(QWebEnginePage::Paste); return;
    case Command::Undo: p->triggerAction(QWebEnginePage::Undo); return;
    case Command::Redo: p->triggerAction(QWebEnginePage::Redo); return;
    case Command::SelectAll: p->triggerAction(QWebEnginePage::SelectAll); return;
    case Command::ClearSelection: p->triggerAction(QWebEnginePage::Unselect); return;
    case Command::ReloadBypassingCache: reload(Cache::Bypass); return;
    case Command::FindNext: m_find->findAgain(false); return;
    case Command::FindPrevious: m_find->findAgain(true); return;
    }
}
