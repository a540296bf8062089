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
    return watcher;
}

SettingsWatcher::SettingsWatcher()
    : QObject(QCoreApplication::instance())
    , m_watcher(new QFileSystemWatcher(this))
    , m_path(settings_detail::writtenPath(iniFilePath()))
{
    // The folder too: a file replaced by a rename is a new file, and one
    // that did not exist yet can only be seen arriving there.
    m_watcher->addPath(QFileInfo(m_path).absolutePath());
    follow();
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &SettingsWatcher::check);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &SettingsWatcher::check);
}

void SettingsWatcher::follow()
{
    // Watching a path watches the file it named when added; after a
    // replacement the new file has to be watched afresh.
    m_watcher->removePath(m_path);
    if (QFileInfo::exists(m_path))
        m_watcher->addPath(m_path);
}

void SettingsWatcher::check()
{
    follow();
    const FileStamp now = stampOfIniFile();
    if (!isIniFileShown(now))
        emit changed();
}
