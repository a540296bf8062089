#include "VisitRecorder.h"

#include "history/History.h"

#include <QWebEnginePage>
#include <QWebEngineProfile>

namespace {

// Pages a user may look for again; not the program's own, nor data that a
// page put in an address.
bool worthKeeping(const QUrl &url)
{
    const QString scheme = url.scheme();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("file");
}

} // namespace

VisitRecorder::VisitRecorder(QWebEnginePage *page, History *history)
    : QObject(page), m_page(page), m_history(history)
{
    connect(page, &QWebEnginePage::loadFinished, this, &VisitRecorder::loaded);
    connect(page, &QWebEnginePage::titleChanged, this, &VisitRecorder::retitled);
}

void VisitRecorder::loaded(bool ok)
{
    const QUrl url = m_page->url();
    if (!ok || m_page->profile()->isOffTheRecord() || !worthKeeping(url))
        return;
    m_url = url;
    m_visited = QDateTime::currentDateTimeUtc();
    // The title the page has by now; a later one follows.
    const QString title = m_page->title();
    m_history->record(url.toString(), title == url.toString(QUrl::RemoveScheme) ? QString() : title, m_visited);
}

void VisitRecorder::retitled(const QString &title)
{
    // Only the page that was kept, not an address a script moved to.
    if (m_url.isEmpty() || m_page->url() != m_url)
        return;
    m_history->record(m_url.toString(), title, m_visited);
}
