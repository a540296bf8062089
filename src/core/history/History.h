#pragma once

#include "HistoryEntry.h"

#include <QHash>
#include <QObject>
#include <QStringList>
#include <QThread>
#include <QTimer>

#include <memory>

class HistoryDatabase;

// The pages the user saw, kept for the program by a database in the
// background: recording a page costs the window no disk time. Visits wait a
// moment and go to the disk together, one row per address however often a
// page retitles itself; searches answer with a signal.
class History : public QObject
{
    Q_OBJECT
public:
    // The history kept in the database file at `path`, opened in the background.
    explicit History(const QString &path, QObject *parent = nullptr);
    // Writes what is still waiting, then closes the file.
    ~History() override;

    // The page at `address` seen at `visited` with `title`; an empty title
    // leaves the title known for it. Addresses too long to be useful are not
    // kept, and a title only as far as a window could show it.
    void record(const QString &address, const QString &title, const QDateTime &visited);
    // Looks for entries holding every word of `words` in their title or
    // address, newest first; found() answers with the number returned here.
    int find(const QString &words, int limit);
    void remove(const QStringList &addresses);
    void clear();

    // A title is cut to this many characters.
    static constexpr int kLongestTitle = 1000;
    // An address longer than this (a page's data in its address) is not kept.
    static constexpr int kLongestAddress = 8192;

signals:
    void found(int ticket, const HistoryEntries &entries);
    // The stored history changed: pages were written, removed or cleared.
    void changed();

private:
    void flush();
    // Runs `work` on the database in the background, in the order asked.
    void inBackground(std::function<void(HistoryDatabase &)> work);

    QThread m_thread;
    QObject *m_worker = nullptr; // lives in m_thread
    std::shared_ptr<std::unique_ptr<HistoryDatabase>> m_db; // touched only in m_thread
    QHash<QString, HistoryEntry> m_pending;
    QTimer m_flushTimer;
    int m_lastTicket = 0;
};
