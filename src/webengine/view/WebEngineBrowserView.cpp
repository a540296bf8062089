#include "WebEngineBrowserView.h"

#include "FindBar.h"
#include "downloads/DownloadManager.h"
#include "profile/EngineContext.h"
#include "page/KestrelPage.h"
#include "LoadStatus.h"
#include "page/PageProperties.h"
#include "page/PageServices.h"
#include "printing/PagePrinter.h"
#include "PageWatchdog.h"
#include "page/SavePage.h"
#include "page/VisitRecorder.h"

#include <QPointer>
#include <QVBoxLayout>
#include <QWebEngineDownloadRequest>
#include <QWebEngineScript>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <iterator>

namespace {
// The engine counts a load in percent.
constexpr int kProgressMax = 100;
// What the window reads as a load that has ended.
constexpr int kLoadEnded = -1;
// The text sizes, smallest to largest; the middle one is the page's own.
constexpr double kZoomFactors[] = {0.6, 0.8, 1.0, 1.25, 1.6};
constexpr int kLargestTextSize = int(std::size(kZoomFactors)) - 1;

const QUrl &blankPage()
{
    static const QUrl blank(QStringLiteral("about:blank"));
    return blank;
}
} // namespace

WebEngineBrowserView::WebEngineBrowserView(EngineContext &context, QWidget *parent)
    : BrowserView(parent)
    , m_context(context)
{
    m_container = new QWidget(parent);
    auto *column = new QVBoxLayout(m_container);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    m_view = new QWebEngineView(m_container);
    m_view->setPage(new KestrelPage(this, m_view));
    attachPageServices(this);
    new VisitRecorder(m_view->page(), m_context.history());
    m_find = new FindBar(m_view, m_container);
    m_watchdog = new PageWatchdog(m_view->page(), m_context, m_container);
    m_printer = new PagePrinter(m_view, m_container, this);
    connect(m_printer, &PagePrinter::statusChanged, this, &BrowserView::statusTextChanged);
    column->addWidget(m_watchdog);
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
    connect(p, &QWebEnginePage::loadingChanged, this,
            [this](const QWebEngineLoadingInfo &info) { emit statusTextChanged(loadStatusText(info)); });
    connect(p, &QWebEnginePage::loadProgress, this,
            [this](int progress) { emit progressChanged(progress, kProgressMax); });
    connect(p, &QWebEnginePage::loadFinished, this, &WebEngineBrowserView::onLoadFinished);
    connect(p, &QWebEnginePage::titleChanged, this, &BrowserView::titleChanged);
    connect(m_context.downloads(), &DownloadManager::statusChanged, this,
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

void WebEngineBrowserView::onLoadFinished(bool ok)
{
    const QString url = address();
    if (m_dropBlankFromHistory && url != blankPage().toString()) {
        // The blank start page was asked to stay out of the history.
        m_dropBlankFromHistory = false;
        QWebEngineHistory *history = m_view->history();
        if (history->canGoBack() && history->backItem().url() == blankPage())
            history->clear();
    }
    emit progressChanged(kLoadEnded, kProgressMax);
    emit loadFinished(url, ok);
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
    m_context.downloads()->saveTo(page(), page()->url(), path);
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

double WebEngineBrowserView::zoomFactorFor(int level)
{
    return kZoomFactors[qBound(0, level, kLargestTextSize)];
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
    m_watchdog->userActed();
    m_crashedUrl.clear();
    if (!url.isValid()) {
        m_view->setHtml(QStringLiteral("<title>Address not valid</title><h2>This address cannot be opened</h2><p>")
                        + text.toHtmlEscaped() + QStringLiteral("</p>"));
        return;
    }
    m_view->load(url);
}

void WebEngineBrowserView::goBack()
{
    m_watchdog->userActed();
    m_view->back();
}

void WebEngineBrowserView::goForward()
{
    m_watchdog->userActed();
    m_view->forward();
}

void WebEngineBrowserView::reload()
{
    if (!m_crashedUrl.isEmpty()) {
        const QUrl url = m_crashedUrl;
        m_crashedUrl.clear();
        m_view->load(url);
        return;
    }
    if (!static_cast<KestrelPage *>(m_view->page())->mayReload())
        return;
    m_watchdog->userActed();
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
    // A stopped page or an empty view has nobody to ask.
    if (!m_crashedUrl.isEmpty() || m_view->url().isEmpty())
        return false;
    static_cast<KestrelPage *>(m_view->page())->askToClose();
    return true;
}

void WebEngineBrowserView::onRendererGone()
{
    const QUrl url = m_view->url();
    m_view->setHtml(QStringLiteral("<title>Page stopped</title><h2>This page stopped working</h2>"
                                   "<p>Press Reload to open it again.</p>"));
    m_crashedUrl = url.isEmpty() ? blankPage() : url;
}

void WebEngineBrowserView::setTextSize(int level)
{
    m_view->setZoomFactor(zoomFactorFor(level));
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
    }
}
