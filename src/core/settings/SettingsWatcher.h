#pragma once

#include <QObject>
#include <QString>

class QFileSystemWatcher;

// Tells when the settings file changed on disk: another Kestrel, a text
// editor, a restore, or this program. Whoever follows the file tells its own
// writes apart by the version they wrote. Follows the file through the
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
