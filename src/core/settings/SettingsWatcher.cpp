#include "SettingsWatcher.h"

#include "Settings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QPointer>

SettingsWatcher *SettingsWatcher::instance()
{
    static QPointer<SettingsWatcher> watcher;
    if (!watcher)
        watcher = new SettingsWatcher;
    // KESTREL_INI may name another file by now.
    if (watcher->m_path != settings_detail::writtenPath(iniFilePath()))
        watcher->follow();
    return watcher;
}

SettingsWatcher::SettingsWatcher()
    : QObject(QCoreApplication::instance())
    , m_watcher(new QFileSystemWatcher(this))
{
    follow();
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &SettingsWatcher::check);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &SettingsWatcher::check);
}

void SettingsWatcher::follow()
{
    const QString path = settings_detail::writtenPath(iniFilePath());
    const QString folder = QFileInfo(path).absolutePath();
    if (path != m_path) {
        if (!m_path.isEmpty())
            m_watcher->removePath(QFileInfo(m_path).absolutePath());
        // The folder too: a file replaced by a rename is a new file, and one
        // that did not exist yet can only be seen arriving there.
        if (QFileInfo(folder).isDir())
            m_watcher->addPath(folder);
    }
    // Watching a path watches the file it named when added; after a
    // replacement the new file has to be watched afresh.
    if (!m_path.isEmpty())
        m_watcher->removePath(m_path);
    m_path = path;
    if (QFileInfo::exists(m_path))
        m_watcher->addPath(m_path);
}

void SettingsWatcher::check()
{
    follow();
    emit changed();
}
