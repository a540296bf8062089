#pragma once

#include <QList>
#include <QString>
#include <functional>

// Something Kestrel keeps about the user's browsing that Clear Browsing Data
// offers to clear: each is one check box of the dialog, and may be cleared
// whenever Kestrel closes. Whoever keeps such data adds an entry to the
// host's list (BrowserHost::browsingData()).
struct ClearableData
{
    QString name;    // stays the same across versions: the profile keeps it
    QString caption; // the check box's text, with its access key
    bool checkedByDefault = false;
    // Clears it now: the user pressed Clear.
    std::function<void()> clearNow;
    // Clears it as the run ends; clearNow when not set. Runs before the
    // windows and the profile close.
    std::function<void()> clearAtClose;
    // A sentence the dialog shows about this entry, when it needs one.
    QString note;
};

// The list the dialog offers, in the order entries were added.
class BrowsingData
{
public:
    void add(ClearableData entry) { m_entries << std::move(entry); }
    void insert(int index, ClearableData entry) { m_entries.insert(index, std::move(entry)); }
    const QList<ClearableData> &entries() const { return m_entries; }

private:
    QList<ClearableData> m_entries;
};
