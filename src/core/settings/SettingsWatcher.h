#pragma once

#include <QObject>
#include <QString>

class QFileSystemWatcher;

// Tells when the settings file changed on disk in a way the favorites lists
// have not taken in yet: another Kestrel, a text editor, a restore. The
// program's own writes are not announced. Follows the file through the
// rename that replaces it.
class SettingsWatcher : public QObject
{
    Q_OBJECT
public:
    // One for the program, made on first use in the thread that asks.
    static SettingsWatcher *instance();

signals:
    void changed();

private:
    SettingsWatcher();
    void follow();
    void check();

    QFileSystemWatcher *m_watcher;
    QString m_path;
};
