#pragma once

#include <QString>
#include <QStringList>

// Where one profile keeps what sites leave (cookies, site storage, the
// cache) and what Kestrel keeps for it (its windows). One Kestrel runs per
// profile; another profile has a Kestrel of its own.
struct ProfileFolder
{
    QString path;      // cookies, site storage, the session
    QString cachePath; // the HTTP cache

    // The folder named by --profile (`asked`), else by KESTREL_PROFILE
    // (`fromEnvironment`), each counted from `workingDir` when relative;
    // else the user's data and cache folders, each with a "Kestrel" folder.
    static ProfileFolder choose(const QString &asked, const QString &fromEnvironment, const QString &workingDir);

    // Makes the folder, readable by the user alone when it is new.
    bool make(QString *error = nullptr) const;

    // Held by the Kestrel that owns the profile.
    QString lockFile() const { return path + QStringLiteral("/kestrel.lock"); }
    QString sessionFile() const { return path + QStringLiteral("/session.dat"); }
    // What is to go before the engine next opens the profile.
    QString pendingCleanupFile() const { return path + QStringLiteral("/cleanup-pending"); }
    // What the user wants cleared whenever Kestrel closes.
    QString clearOnCloseFile() const { return path + QStringLiteral("/clear-on-close"); }
};

// What the engine keeps on disk that Kestrel removes itself while the engine
// does not hold the profile: before it opens it at the next start.
namespace ProfileCleanup {

enum class Item {
    SiteStorage, // local and session storage, IndexedDB, service workers, web SQL, file systems
    Cookies,     // the cookie database
    Cache,       // the HTTP cache and the engine's other caches
};

// Adds `items` to what goes at the next start.
bool schedule(const ProfileFolder &profile, const QList<Item> &items, QString *error = nullptr);
// Removes what was scheduled, then forgets the schedule. Call before the
// engine opens the profile.
void runScheduled(const ProfileFolder &profile);

// The names of things a user chose to clear whenever Kestrel closes, as the
// Clear Browsing Data dialog names them; empty when nothing.
QStringList clearOnClose(const ProfileFolder &profile);
bool storeClearOnClose(const ProfileFolder &profile, const QStringList &names, QString *error = nullptr);

} // namespace ProfileCleanup
