#include "ProfileFolder.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QStandardPaths>

Q_LOGGING_CATEGORY(lcProfile, "kestrel.profile")

namespace {

// The engine's folders and files for each item, inside the profile folder.
const char *const kSiteStorage[] = {"Local Storage", "Session Storage", "IndexedDB",    "Service Worker",
                                    "databases",     "WebStorage",      "blob_storage", "File System",
                                    "shared_proto_db"};
const char *const kCookies[] = {"Cookies", "Cookies-journal"};
const char *const kCaches[] = {"GPUCache", "Code Cache"};

QString wordFor(ProfileCleanup::Item item)
{
    switch (item) {
    case ProfileCleanup::Item::SiteStorage: return QStringLiteral("site-storage");
    case ProfileCleanup::Item::Cookies: return QStringLiteral("cookies");
    case ProfileCleanup::Item::Cache: return QStringLiteral("cache");
    }
    return QString();
}

QStringList readLines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList out;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (!line.trimmed().isEmpty())
            out << QString::fromUtf8(line.trimmed());
    }
    return out;
}

bool writeLines(const QString &path, const QStringList &lines, QString *error)
{
    QSaveFile f(path);
    if (f.open(QIODevice::WriteOnly)) {
        for (const QString &line : lines)
            f.write(line.toUtf8() + '\n');
        if (f.commit())
            return true;
    }
    const QString reason = QStringLiteral("%1 could not be written: %2").arg(path, f.errorString());
    if (error)
        *error = reason;
    qCWarning(lcProfile, "%s", qPrintable(reason));
    return false;
}

template <size_t N>
void removeEach(const QString &folder, const char *const (&names)[N])
{
    for (const char *name : names) {
        const QString path = folder + QLatin1Char('/') + QString::fromLatin1(name);
        const QFileInfo info(path);
        const bool gone = !info.exists() && !info.isSymLink() ? true
                          : info.isDir() && !info.isSymLink() ? QDir(path).removeRecursively()
                                                              : QFile::remove(path);
        if (!gone)
            qCWarning(lcProfile, "%s could not be removed", qPrintable(path));
    }
}

} // namespace

ProfileFolder ProfileFolder::choose(const QString &asked, const QString &fromEnvironment, const QString &workingDir)
{
    const QString named = !asked.isEmpty() ? asked : fromEnvironment;
    ProfileFolder out;
    if (!named.isEmpty()) {
        out.path = QDir::cleanPath(QDir(workingDir).absoluteFilePath(named));
        out.cachePath = out.path + QStringLiteral("/Cache");
        return out;
    }
    const QString folder = QStringLiteral("/Kestrel");
    out.path = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + folder;
    out.cachePath = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + folder;
    return out;
}

bool ProfileFolder::make(QString *error) const
{
    if (QFileInfo(path).isDir())
        return true;
    if (QDir().mkpath(path)) {
        // Cookies and what sites store are the user's alone.
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return true;
    }
    if (error)
        *error = QStringLiteral("The profile folder %1 could not be made").arg(path);
    return false;
}

namespace ProfileCleanup {

bool schedule(const ProfileFolder &profile, const QList<Item> &items, QString *error)
{
    QStringList words = readLines(profile.pendingCleanupFile());
    for (Item item : items) {
        if (!words.contains(wordFor(item)))
            words << wordFor(item);
    }
    return writeLines(profile.pendingCleanupFile(), words, error);
}

void runScheduled(const ProfileFolder &profile)
{
    const QStringList words = readLines(profile.pendingCleanupFile());
    if (words.isEmpty())
        return;
    if (words.contains(wordFor(Item::SiteStorage)))
        removeEach(profile.path, kSiteStorage);
    if (words.contains(wordFor(Item::Cookies)))
        removeEach(profile.path, kCookies);
    if (words.contains(wordFor(Item::Cache))) {
        removeEach(profile.path, kCaches);
        if (!QDir(profile.cachePath).removeRecursively())
            qCWarning(lcProfile, "%s could not be removed", qPrintable(profile.cachePath));
    }
    QFile::remove(profile.pendingCleanupFile());
}

// A run without a profile folder (a test's) has no choice to keep.
QStringList clearOnClose(const ProfileFolder &profile)
{
    return profile.path.isEmpty() ? QStringList() : readLines(profile.clearOnCloseFile());
}

bool storeClearOnClose(const ProfileFolder &profile, const QStringList &names, QString *error)
{
    if (profile.path.isEmpty())
        return true;
    const QString file = profile.clearOnCloseFile();
    if (names.isEmpty() && (QFile::remove(file) || !QFile::exists(file)))
        return true;
    return writeLines(file, names, error);
}

} // namespace ProfileCleanup
