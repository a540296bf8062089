#include "PageWatchdog.h"

#include "profile/EngineContext.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QWebEnginePage>
#include <QWebEngineScript>

#include <csignal>

namespace {
// Long enough for a busy page to finish its work, short enough that the
// user is not left wondering whether the program still listens.
constexpr int kPatienceMs = 3000;
// A notice's pale yellow, apart from the page and the window around it.
constexpr QRgb kNoticeColor = 0xfff0b0;
} // namespace

PageWatchdog::PageWatchdog(QWebEnginePage *page, const EngineContext &context, QWidget *parent)
    : QWidget(parent), m_page(page), m_context(context), m_text(new QLabel(this))
{
    setObjectName(QStringLiteral("StuckPageBar"));
    setAutoFillBackground(true);
    QPalette colors = palette();
    colors.setColor(QPalette::Window, QColor(kNoticeColor));
    setPalette(colors);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(6, 3, 6, 3);
    m_text->setObjectName(QStringLiteral("StuckPageText"));
    m_text->setTextFormat(Qt::PlainText);
    m_text->setWordWrap(true);
    // Named while the bar is hidden too: a screen reader lists it all the same.
    m_text->setAccessibleName(QStringLiteral("Page not responding"));
    row->addWidget(m_text, 1);
    auto *end = new QPushButton(QStringLiteral("&End Page"), this);
    end->setObjectName(QStringLiteral("cmdEndPage"));
    auto *wait = new QPushButton(QStringLiteral("&Wait"), this);
    wait->setObjectName(QStringLiteral("cmdWait"));
    row->addWidget(end);
    row->addWidget(wait);
    connect(end, &QPushButton::clicked, this, &PageWatchdog::endPage);
    connect(wait, &QPushButton::clicked, this, &PageWatchdog::pageAnswered);

    m_patience.setSingleShot(true);
    m_patience.setInterval(kPatienceMs);
    connect(&m_patience, &QTimer::timeout, this, [this] {
        if (m_waiting)
            showBar();
    });
    // A page that loads or whose process is gone is not stuck.
    connect(page, &QWebEnginePage::loadFinished, this, &PageWatchdog::pageAnswered);
    connect(page, &QWebEnginePage::urlChanged, this, &PageWatchdog::pageAnswered);
    connect(page, &QWebEnginePage::renderProcessTerminated, this, &PageWatchdog::pageAnswered);
    hide();
}

void PageWatchdog::userActed()
{
    // A page that has shown nothing yet has nothing to be stuck in. Asking
    // its empty first document would also make the engine start a page
    // process for that document alone, before the page the window opens on.
    if (m_waiting || m_page->url().isEmpty())
        return;
    m_waiting = true;
    const int probe = ++m_probe;
    QPointer<PageWatchdog> self = this;
    // A script in the program's own world: the page's scripts cannot answer
    // for it, and it runs only when the page's own script gives way.
    m_page->runJavaScript(QStringLiteral("0"), QWebEngineScript::ApplicationWorld, [self, probe](const QVariant &) {
        if (self && probe == self->m_probe)
            self->pageAnswered();
    });
    m_patience.start();
}

void PageWatchdog::showBar()
{
    const int others = m_context.pagesSharingProcessWith(m_page);
    QString text = QStringLiteral("This page is not answering.");
    if (others == 1)
        text += QStringLiteral(" Ending it also stops the page in 1 other window, which shares its process.");
    else if (others > 1)
        text += QStringLiteral(" Ending it also stops the pages in %1 other windows, which share its process.")
                    .arg(others);
    m_text->setText(text);
    m_text->setAccessibleName(text);
    show();
}

void PageWatchdog::pageAnswered()
{
    ++m_probe;
    m_waiting = false;
    m_patience.stop();
    hide();
}

void PageWatchdog::endPage()
{
    // The engine offers no way to end a page's process, so it is ended as
    // the system ends any process; the view then shows that the page stopped.
    const qint64 pid = m_page->renderProcessPid();
    if (pid > 0 && pid != QCoreApplication::applicationPid())
        ::kill(pid_t(pid), SIGKILL);
    pageAnswered();
}
