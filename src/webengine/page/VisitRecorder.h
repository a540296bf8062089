#pragma once

#include <QDateTime>
#include <QObject>
#include <QUrl>

class History;
class QWebEnginePage;

// Keeps each page that `page` loads in the history, with its title as it
// comes. A page of an off-the-record profile leaves nothing.
class VisitRecorder : public QObject
{
public:
    VisitRecorder(QWebEnginePage *page, History *history);

private:
    void loaded(bool ok);
    void retitled(const QString &title);

    QWebEnginePage *m_page;
    History *m_history;
    QUrl m_url;          // the page last kept
    QDateTime m_visited; // and when it loaded
};
