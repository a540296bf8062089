#pragma once

#include "profile/ProfileFolder.h"

#include <QObject>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

// The running Kestrel's end of the profile's socket (see ProfileClaim):
// takes the lists of addresses that later starts hand over. A connection
// from another user, a message that is not a list of addresses, one too
// large or too slow, or one with an address that runs script is dropped
// with one warning, and opens nothing.
class HandOverServer : public QObject
{
    Q_OBJECT
public:
    explicit HandOverServer(const ProfileFolder &profile);
    ~HandOverServer() override;

    // Listens, once this run holds the profile's lock; whatever a run that
    // died left at the socket's path is taken over.
    bool listen(QString *error);

signals:
    // A later start of this profile asks for these addresses, each in a
    // window of its own; an empty list asks for one new window.
    void openRequested(const QStringList &addresses);

private:
    void serve(QLocalSocket *socket);
    void drop(QLocalSocket *socket, const char *why);

    ProfileFolder m_profile;
    QLocalServer *m_server = nullptr;
    int m_serving = 0; // connections being read
};
