#pragma once

#include <QByteArray>
#include <QString>

// One writer of the settings file at a time, across processes: an exclusive
// lock on `<file>.lock`, released when this object goes or its process dies.
class SettingsLock
{
public:
    explicit SettingsLock(const QString &lockPath);
    ~SettingsLock();
    SettingsLock(const SettingsLock &) = delete;
    SettingsLock &operator=(const SettingsLock &) = delete;

    // Waits up to `timeoutMs`; on failure `err` gets the errno that says why.
    bool lock(int timeoutMs, int *err);

private:
    bool tryOnce(int *err);

    QByteArray m_path;
    int m_fd = -1;
};
