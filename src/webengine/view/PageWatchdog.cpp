#include "PageWatchdog.h"

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

PageWatchdog::PageWatchdog(QWebEnginePage *page, QWidget *parent)
    : QWidget(parent), m_page(page)
{
    setObjectName(QStringLiteral("StuckPageBar"));
    setAutoFillBackground(true);
    QPalette colors = palette();
    colors.setColor(QPalette::Window, QColor(kNoticeColor));
    setPalette(colors);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(6, 3, 6, 3);
    row->addWidget(new QLabel(QStringLiteral("This page is not answering."), this), 1);
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
            show();
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
