#include "WebEngineBrowserView.h"

#include "LoadStatus.h"
#include "PageServices.h"
#include "Profile.h"
#include "KestrelPage.h"
#include "PageWatchdog.h"

#include <QCheckBox>
#include <QEventLoop>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QWebEngineDownloadRequest>
#include <QKeyEvent>
#include <QStandardPaths>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWebEngineFindTextResult>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

// The view's own find bar: text, next, previous, match case.
class FindBar : public QWidget
{
public:
    explicit FindBar(QWebEngineView *view, QWidget *parent)
        : QWidget(parent), m_view(view)
    {
        setObjectName(QStringLiteral("FindBar"));
        auto *row = new QHBoxLayout(this);
        row->setContentsMargins(4, 2, 4, 2);
        row->addWidget(new QLabel(QStringLiteral("Find:"), this));
        m_text = new QLineEdit(this);
        m_text->setObjectName(QStringLiteral("findText"));
        row->addWidget(m_text, 1);
        auto *prev = new QPushButton(QStringLiteral("&Previous"), this);
        auto *next = new QPushButton(QStringLiteral("&Next"), this);
        m_case = new QCheckBox(QStringLiteral("Match &case"), this);
        m_status = new QLabel(this);
        m_status->setObjectName(QStringLiteral("findStatus"));
        auto *close = new QToolButton(this);
        close->setText(QStringLiteral("✕"));
        close->setToolTip(QStringLiteral("Close (Esc)"));
        for (QWidget *w : {static_cast<QWidget *>(prev), static_cast<QWidget *>(next),
                           static_cast<QWidget *>(m_case), static_cast<QWidget *>(m_status),
                           static_cast<QWidget *>(close)})
            row->addWidget(w);
        connect(m_text, &QLineEdit::returnPressed, this, [this] { find(false); });
        // Searching starts when typing pauses: a search started while another
        // is still running can be answered for the one it replaced.
        m_typing.setSingleShot(true);
        m_typing.setInterval(150);
        connect(&m_typing, &QTimer::timeout, this, [this] { find(false); });
        connect(m_text, &QLineEdit::textChanged, &m_typing, qOverload<>(&QTimer::start));
        connect(next, &QPushButton::clicked, this, [this] { find(false); });
        connect(prev, &QPushButton::clicked, this, [this] { find(true); });
        connect(m_case, &QCheckBox::toggled, this, [this] { find(false); });
        connect(close, &QToolButton::clicked, this, &FindBar::dismiss);
        m_text->installEventFilter(this);
        hide();
    }

    void open()
    {
        show();
        m_text->setFocus(Qt::ShortcutFocusReason);
        m_text->selectAll();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
            dismiss();
            return true;
        }
        return QWidget::eventFilter(watched, event);
    }

private:
    void find(bool backward)
    {
        m_typing.stop();
        QWebEnginePage::FindFlags flags;
        if (backward)
            flags |= QWebEnginePage::FindBackward;
        if (m_case->isChecked())
            flags |= QWebEnginePage::FindCaseSensitively;
        const QString text = m_text->text();
        // Typing asks again at every key; an answer to an earlier request
        // can arrive after the latest one and must not overwrite it.
        const int request = ++m_request;
        QPointer<FindBar> self = this;
        m_view->page()->findText(text, flags, [self, request, text](const QWebEngineFindTextResult &r) {
            if (!self || request != self->m_request)
                return;
            if (text.isEmpty())
                self->m_status->clear();
            else if (r.numberOfMatches() == 0)
                self->m_status->setText(QStringLiteral("Not found"));
            else
                self->m_status->setText(QStringLiteral("%1 of %2").arg(r.activeMatch()).arg(r.numberOfMatches()));
        });
    }
    void dismiss()
    {
        m_view->page()->findText(QString());
        m_status->clear();
        hide();
        m_view->setFocus();
    }

    QWebEngineView *m_view;
    QLineEdit *m_text;
    QCheckBox *m_case;
    QLabel *m_status;
    QTimer m_typing;
    int m_request = 0;
};

WebEngineBrowserView::WebEngineBrowserView(QWidget *parent)
    : BrowserView(parent)
{
    m_container = new QWidget(parent);
    auto *column = new QVBoxLayout(m_container);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    m_view = new QWebEngineView(m_container);
    m_view->setPage(new KestrelPage(this, m_view));
    attachPageServices(this);
    m_find = new FindBar(m_view, m_container);
    m_watchdog = new PageWatchdog(m_view->page(), m_container);
    column->addWidget(m_watchdog);
    column->addWidget(m_view, 1);
    column->addWidget(m_find);
    m_container->setFocusProxy(m_view);

    QWebEnginePage *p = m_view->page();
    connect(p, &QWebEnginePage::linkHovered, this, &BrowserView::statusTextChanged);
    connect(p, &QWebEnginePage::loadingChanged, this,
            [this](const QWebEngineLoadingInfo &info) { emit statusTextChanged(loadStatusText(info)); });
    connect(p, &QWebEnginePage::loadProgress, this, [this](int progress) { emit progressChanged(progress, 100); });
    connect(p, &QWebEnginePage::loadFinished, this, [this](bool) {
        const QString url = address();
        if (m_dropBlankFromHistory && url != QLatin1String("about:blank")) {
            // The blank start page was asked to stay out of the history.
            m_dropBlankFromHistory = false;
            QWebEngineHistory *h = m_view->history();
            if (h->canGoBack() && h->backItem().url() == QUrl(QStringLiteral("about:blank")))
                h->clear();
        }
        emit progressChanged(-1, 100);
        emit loadFinished(url);
    });
    connect(p, &QWebEnginePage::titleChanged, this, &BrowserView::titleChanged);
    connect(p, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                if (status != QWebEnginePage::NormalTerminationStatus)
                    QMetaObject::invokeMethod(this, &WebEngineBrowserView::rendererGone, Qt::QueuedConnection);
            });
}

WebEngineBrowserView::~WebEngineBrowserView() = default;

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
    static const double factors[] = {0.6, 0.8, 1.0, 1.25, 1.6};
    return factors[qBound(0, level, 4)];
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

void WebEngineBrowserView::rendererGone()
{
    const QUrl url = m_view->url();
    m_view->setHtml(QStringLiteral("<title>Page stopped</title><h2>This page stopped working</h2>"
                                   "<p>Press Reload to open it again.</p>"));
    m_crashedUrl = url.isEmpty() ? QUrl(QStringLiteral("about:blank")) : url;
}

void WebEngineBrowserView::reportScriptError(const QString &message, int line, const QString &source)
{
    // One box at a time, without blocking the window; later errors are added.
    const QString entry = QStringLiteral("%1\nLine %2 of %3").arg(message).arg(line).arg(source);
    if (m_errorBox) {
        const QString text = m_errorBox->informativeText();
        if (text.size() < 4000)
            m_errorBox->setInformativeText(text + QStringLiteral("\n\n") + entry);
        return;
    }
    m_errorBox = new QMessageBox(QMessageBox::Warning, QStringLiteral("Script Error"),
                                 QStringLiteral("A script on this page has an error."),
                                 QMessageBox::Ok, m_container);
    m_errorBox->setInformativeText(entry);
    // The message and the source are the page's words: shown as typed, so a
    // page cannot dress them up as the program's own or load images into them.
    for (QLabel *label : m_errorBox->findChildren<QLabel *>())
        label->setTextFormat(Qt::PlainText);
    m_errorBox->setAttribute(Qt::WA_DeleteOnClose);
    m_errorBox->setWindowModality(Qt::NonModal);
    m_errorBox->show();
}

QPrinter *WebEngineBrowserView::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return m_printer.get();
}

void WebEngineBrowserView::printPreview()
{
    QPrintPreviewDialog preview(printer(), m_container);
    preview.setObjectName(QStringLiteral("PrintPreview"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter *p) {
        QEventLoop wait;
        connect(m_view, &QWebEngineView::printFinished, &wait, &QEventLoop::quit);
        m_view->print(p);
        wait.exec();
    });
    preview.exec();
}

void WebEngineBrowserView::showProperties()
{
    const QString script = QStringLiteral(
        "(function(){var n=performance.getEntriesByType('navigation')[0];"
        "return [document.contentType||'', n&&n.decodedBodySize?n.decodedBodySize:-1];})()");
    QPointer<QWidget> owner = m_container;
    const QString title = m_view->title();
    const QUrl url = m_view->url();
    m_view->page()->runJavaScript(script, [owner, title, url](const QVariant &v) {
        if (!owner)
            return;
        const QVariantList r = v.toList();
        const QString type = r.value(0).toString();
        const qlonglong size = r.value(1).toLongLong();
        // Properties is where the user learns the real address, so it comes
        // first and everything is plain text: a title cannot add lines of its own.
        constexpr int kLongestTitle = 200;
        QString shownTitle = title.simplified();
        if (shownTitle.size() > kLongestTitle)
            shownTitle = shownTitle.left(kLongestTitle) + QChar(0x2026);
        auto *box = new QMessageBox(QMessageBox::NoIcon, QStringLiteral("Properties"),
                                    QStringLiteral("Address:\t%1\nProtocol:\t%2\nTitle:\t%3\nType:\t%4\nSize:\t%5")
                                        .arg(url.toString(), url.scheme(), shownTitle,
                                             type.isEmpty() ? QStringLiteral("Not available") : type,
                                             size > 0 ? QStringLiteral("%1 bytes").arg(size)
                                                      : QStringLiteral("Not available")),
                                    QMessageBox::Ok, owner);
        box->setObjectName(QStringLiteral("PropertiesBox"));
        box->setTextFormat(Qt::PlainText);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->show();
    });
}

void WebEngineBrowserView::setTextSize(int level)
{
    m_view->setZoomFactor(zoomFactorFor(level));
}

void WebEngineBrowserView::run(Command command)
{
    QWebEnginePage *p = m_view->page();
    switch (command) {
    case Command::SaveAs: {
        QString suggested = title().trimmed();
        suggested.replace(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|]")), QStringLiteral("_"));
        if (suggested.isEmpty())
            suggested = QStringLiteral("page");
        QString filter;
        const QString complete = QStringLiteral("Web Page, complete (*.htm *.html)");
        const QString single = QStringLiteral("Web Archive, single file (*.mhtml)");
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
        const QString path = QFileDialog::getSaveFileName(m_container, QStringLiteral("Save As"),
                                                          folder + QLatin1Char('/') + suggested + QStringLiteral(".html"),
                                                          complete + QStringLiteral(";;") + single, &filter);
        if (path.isEmpty())
            return;
        p->save(path, filter == single ? QWebEngineDownloadRequest::MimeHtmlSaveFormat
                                       : QWebEngineDownloadRequest::CompleteHtmlSaveFormat);
        return;
    }
    case Command::PageSetup: {
        QPageSetupDialog dlg(printer(), m_container);
        dlg.exec();
        return;
    }
    case Command::Print: {
        QPrintDialog dlg(printer(), m_container);
        if (dlg.exec() == QDialog::Accepted)
            m_view->print(printer());
        return;
    }
    case Command::PrintPreview:
        printPreview();
        return;
    case Command::Properties:
        showProperties();
        return;
    case Command::Cut: p->triggerAction(QWebEnginePage::Cut); return;
    case Command::Copy: p->triggerAction(QWebEnginePage::Copy); return;
    case Command::Paste: p->triggerAction(QWebEnginePage::Paste); return;
    case Command::Undo: p->triggerAction(QWebEnginePage::Undo); return;
    case Command::Redo: p->triggerAction(QWebEnginePage::Redo); return;
    case Command::SelectAll: p->triggerAction(QWebEnginePage::SelectAll); return;
    case Command::ClearSelection: p->triggerAction(QWebEnginePage::Unselect); return;
    }
}
