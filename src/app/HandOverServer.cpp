#include "HandOverServer.h"

#include "startup/HandOver.h"
#include "startup/ProfileClaim.h"

#include <QCoreApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QTimer>

#include <memory>

Q_LOGGING_CATEGORY(lcHandOver, "kestrel.handover")

namespace {
// How long a connection may take to send its list, and how many may be
// read at once; others are closed unread.
constexpr int kMessageMs = 5000;
constexpr int kMostAtOnce = 8;
} // namespace

HandOverServer::HandOverServer(const ProfileFolder &profile)
    : m_profile(profile)
{
}

HandOverServer::~HandOverServer()
{
    // The socket goes before the lock does: a later start that finds the
    // lock free never meets a socket nobody answers.
    delete m_server;
}

bool HandOverServer::listen(QString *error)
{
    const QString path = ProfileClaim::socketPath(m_profile);
    if (path.isEmpty()) {
        *error = QStringLiteral("there is no private runtime folder for Kestrel's socket");
        return false;
    }
    // Whatever is at the path was left by a run that died: this run holds the lock.
    QLocalServer::removeServer(path);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(path)) {
        *error = QStringLiteral("%1: %2").arg(path, m_server->errorString());
        return false;
    }
    // A list taken while the run ends would open nothing: later starts wait
    // for the lock instead, and take the profile over once it is free.
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, [this] {
        delete m_server;
        m_server = nullptr;
    });
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection())
            serve(socket);
    });
    return true;
}

void HandOverServer::serve(QLocalSocket *socket)
{
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    if (m_serving >= kMostAtOnce) {
        socket->abort();
        return;
    }
    if (!peerIsThisUser(int(socket->socketDescriptor()))) {
        drop(socket, "it came from another user");
        return;
    }
    ++m_serving;
    connect(socket, &QObject::destroyed, this, [this] { --m_serving; });
    auto *deadline = new QTimer(socket);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, socket, [this, socket] { drop(socket, "it did not end in time"); });
    deadline->start(kMessageMs);
    auto received = std::make_shared<QByteArray>();
    connect(socket, &QLocalSocket::readyRead, socket, [this, socket, received, deadline] {
        // Never more than one byte past the limit is kept.
        received->append(socket->read(HandOver::kMaxMessageBytes + 1 - received->size()));
        switch (HandOver::check(*received)) {
        case HandOver::Reading::Incomplete: return;
        case HandOver::Reading::Refused: drop(socket, "it was not a list of addresses"); return;
        case HandOver::Reading::Complete: break;
        }
        deadline->stop();
        disconnect(socket, &QLocalSocket::readyRead, socket, nullptr);
        const QStringList addresses = HandOver::decode(*received).value_or(QStringList());
        // The later start may end as soon as it has the answer; the windows
        // open after, from the event loop.
        socket->write(HandOver::acknowledgement());
        socket->flush();
        socket->disconnectFromServer();
        QMetaObject::invokeMethod(this, [this, addresses] { emit openRequested(addresses); }, Qt::QueuedConnection);
    });
}

void HandOverServer::drop(QLocalSocket *socket, const char *why)
{
    qCWarning(lcHandOver, "A message to Kestrel's socket was dropped: %s", why);
    if (auto *deadline = socket->findChild<QTimer *>())
        deadline->stop();
    disconnect(socket, &QLocalSocket::readyRead, nullptr, nullptr);
    socket->abort();
    socket->deleteLater();
}
