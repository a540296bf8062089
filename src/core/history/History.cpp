#include "History.h"

#include "HistoryDatabase.h"
#include "HistoryLog.h"

#include <QPointer>

namespace {
// How long visits wait to be written together.
constexpr int kBatchDelayMs = 1000;
// A page that moves through this many addresses before the delay is up has
// them written at once.
constexpr int kLargestBatch = 500;
} // namespace

History::History(const QString &path, QObject *parent)
    : QObject(parent), m_worker(new QObject), m_db(std::make_shared<std::unique_ptr<HistoryDatabase>>())
{
    qRegisterMetaType<HistoryEntries>();
    m_thread.setObjectName(QStringLiteral("History"));
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.start(QThread::LowPriority);
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(kBatchDelayMs);
    connect(&m_flushTimer, &QTimer::timeout, this, &History::flush);
    auto db = m_db;
    QMetaObject::invokeMethod(m_worker, [db, path] {
        auto opened = std::make_unique<HistoryDatabase>(path);
        QString error;
        if (opened->open(&error))
            *db = std::move(opened);
        else
            qCWarning(lcHistory, "the history %s cannot be opened: %s", qPrintable(path), qPrintable(error));
    });
}

History::~History()
{
    flush();
    // After the work asked before it, and before the thread stops: a thread
    // told to quit drops the work still queued for it.
    auto db = m_db;
    QMetaObject::invokeMethod(m_worker, [db] { db->reset(); }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

void History::inBackground(std::function<void(HistoryDatabase &)> work)
{
    auto db = m_db;
    QMetaObject::invokeMethod(m_worker, [db, work = std::move(work)] {
        if (*db)
            work(**db);
    });
}

void History::record(const QString &address, const QString &title, const QDateTime &visited)
{
    if (address.isEmpty() || address.size() > kLongestAddress)
        return;
    HistoryEntry &entry = m_pending[address];
    entry.address = address;
    if (!title.isEmpty())
        entry.title = title.left(kLongestTitle);
    if (!entry.visited.isValid() || visited > entry.visited)
        entry.visited = visited;
    if (m_pending.size() >= kLargestBatch)
        flush();
    else if (!m_flushTimer.isActive())
        m_flushTimer.start();
}

void History::flush()
{
    m_flushTimer.stop();
    if (m_pending.isEmpty())
        return;
    const HistoryEntries batch = m_pending.values();
    m_pending.clear();
    QPointer<History> self(this);
    inBackground([batch, self](HistoryDatabase &db) {
        QString error;
        if (!db.write(batch, &error)) {
            qCWarning(lcHistory, "%lld pages were not written to the history: %s", qint64(batch.size()),
                      qPrintable(error));
            return;
        }
        if (self)
            QMetaObject::invokeMethod(self, [self] { if (self) emit self->changed(); });
    });
}

int History::find(const QString &words, int limit)
{
    // What the user saw a moment ago is found too.
    flush();
    const int ticket = ++m_lastTicket;
    QPointer<History> self(this);
    inBackground([self, ticket, words, limit](HistoryDatabase &db) {
        QString error;
        const HistoryEntries entries = db.find(words, limit, &error);
        if (!error.isEmpty())
            qCWarning(lcHistory, "the history could not be searched: %s", qPrintable(error));
        if (self)
            QMetaObject::invokeMethod(self, [self, ticket, entries] { if (self) emit self->found(ticket, entries); });
    });
    return ticket;
}

void History::remove(const QStringList &addresses)
{
    for (const QString &address : addresses)
        m_pending.remove(address);
    QPointer<History> self(this);
    inBackground([addresses, self](HistoryDatabase &db) {
        QString error;
        if (!db.remove(addresses, &error))
            qCWarning(lcHistory, "pages were not removed from the history: %s", qPrintable(error));
        if (self)
            QMetaObject::invokeMethod(self, [self] { if (self) emit self->changed(); });
    });
}

void History::clear()
{
    m_pending.clear();
    m_flushTimer.stop();
    QPointer<History> self(this);
    inBackground([self](HistoryDatabase &db) {
        QString error;
        if (!db.clear(&error))
            qCWarning(lcHistory, "the history was not cleared: %s", qPrintable(error));
        if (self)
            QMetaObject::invokeMethod(self, [self] { if (self) emit self->changed(); });
    });
}
