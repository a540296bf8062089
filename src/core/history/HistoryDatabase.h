#pragma once

#include "HistoryEntry.h"

#include <QString>
#include <QStringList>

// The history file: an SQLite database with one row per address, holding
// the page's latest title and the time it was last seen. One object is one
// connection, used from one thread.
//
// A batch of visits is written in one transaction, and the journal makes a
// program killed in the middle of one leave the file as it was before it:
// the database still opens, with every batch whole or absent.
class HistoryDatabase
{
public:
    explicit HistoryDatabase(const QString &path);
    ~HistoryDatabase();
    HistoryDatabase(const HistoryDatabase &) = delete;
    HistoryDatabase &operator=(const HistoryDatabase &) = delete;

    // Opens or creates the file. A file that is no database at all is moved
    // aside (".broken") and a new one begun, so a damaged file costs the
    // history it held, not the history from now on.
    bool open(QString *error);
    // Adds the visits, or brings an address seen before to its new time and
    // title; an empty title leaves the known one.
    bool write(const HistoryEntries &visits, QString *error);
    // Entries whose title or address holds every word of `words` (case
    // ignored), newest first, at most `limit`.
    HistoryEntries find(const QString &words, int limit, QString *error) const;
    bool remove(const QStringList &addresses, QString *error);
    bool clear(QString *error);

private:
    bool prepare(QString *error);

    QString m_path;
    QString m_connection;
};
