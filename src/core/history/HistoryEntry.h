#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// A page the user saw: its address, its title and when it was last seen.
struct HistoryEntry
{
    QString address;
    QString title;
    QDateTime visited;
};

using HistoryEntries = QList<HistoryEntry>;
