#pragma once

#include "profile/ProfileFolder.h"
#include "settings/SettingsLock.h"

#include <QObject>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

// One Kestrel per profile. The first start of a profile holds a lock on its
// folder and listens on a local socket named from the user and the profile;
// a later start hands its addresses over that socket and ends, so the
// profile's databases are never opened by two engines at once.
//
// The socket is the user's alone: it lives in the user's runtime folder
// (mode 0700), a connection from another user is refused, and it takes
// nothing but a list of addresses (see HandOver).
class ProfileInstance : public QObject
{
    Q_OBJECT
public:
    enum class Claim {
        Owner,      // this run owns the profile: go on
        HandedOver, // the running Kestrel took the addresses: end
        Failed,     // neither; the reason is in *error
    };

    explicit ProfileInstance(const ProfileFolder &profile);
    ~ProfileInstance() override;

    // Before the application object exists: takes the profile, or hands
    // `addresses` to the Kestrel that holds it. A lock or socket left by a
    // run that died is taken over.
    Claim claim(const QStringList &addresses, QString *error);
    // Once the application object exists: listens for later starts.
    bool listen(QString *error);

    // Where the socket of `profile` lives; empty when the user has no
    // private folder for it.
    static QString socketPath(const ProfileFolder &profile);

signals:
    // A later start of this profile asks for these addresses, each in a
    // window of its own; an empty list asks for one new window.
    void openRequested(const QStringList &addresses);

private:
    void serve(QLocalSocket *socket);
    void drop(QLocalSocket *socket, const char *why);

    ProfileFolder m_profile;
    SettingsLock m_lock;
    QLocalServer *m_server = nullptr;
    int m_serving = 0; // connections being read
};
