#pragma once

#include "profile/ProfileFolder.h"
#include "settings/SettingsLock.h"

#include <QStringList>

// One Kestrel per profile. The first start of a profile holds a lock on its
// folder (the kernel lets go of it when the holder dies, so a lock left by
// a crash is no lock) and listens on a local socket named from the user and
// the profile; a later start hands its addresses over that socket and ends,
// so the profile's databases are never opened by two engines at once.
//
// The socket is the user's alone: it lives in the user's runtime folder,
// which must be theirs with no access for others, and either side checks
// that the other is the same user. It carries a list of addresses and
// nothing else (see HandOver).
class ProfileClaim
{
public:
    enum class Outcome {
        Owner,      // this run owns the profile: go on
        HandedOver, // the running Kestrel took the addresses: end
        Failed,     // neither; the reason is in *error
    };

    explicit ProfileClaim(const ProfileFolder &profile);

    // Takes the profile, or hands `addresses` to the Kestrel that holds it,
    // waiting a while for one that is still starting. Plain system calls
    // and Qt Core: a start that only hands over loads nothing more.
    Outcome claim(const QStringList &addresses, QString *error);

    // Where the socket of `profile` lives; empty when the user has no
    // private runtime folder.
    static QString socketPath(const ProfileFolder &profile);

private:
    ProfileFolder m_profile;
    SettingsLock m_lock; // the same kernel lock that guards the settings file
};

// Whether the other end of the local socket `fd` runs as this user.
bool peerIsThisUser(int fd);
