#include "ProfileInstance.h"

#include "startup/HandOver.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <memory>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcInstance, "kestrel.instance")

namespace {

// How long a later start waits for the running Kestrel: to begin listening
// after it took the profile, and to take the list once connected.
constexpr int kReachMs = 20000;
constexpr int kAnswerSeconds = 10;
constexpr int kRetryMs = 50;
// How long a connection may take to send its list, and how many may be
// read at once; others are closed unread.
constexpr int kMessageMs = 5000;
constexpr int kMostAtOnce = 8;

bool isPrivateFolder(const QString &path)
{
    struct stat st;
    return lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid()
           && (st.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

bool peerIsThisUser(int fd)
{
    ucred peer{};
    socklen_t size = sizeof peer;
    return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == geteuid();
}

enum class Reach { Taken, Absent, Failed };

// Hands the message to the Kestrel listening at `path`. Plain sockets: this
// runs before any application object exists, so that a start that only
// hands over never loads the rest of Qt or the engine.
Reach handOver(const QString &path, const QByteArray &message, QString *error)
{
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (size_t(name.size()) >= sizeof address.sun_path) {
        *error = QStringLiteral("the socket path %1 is too long").arg(path);
        return Reach::Failed;
    }
    memcpy(address.sun_path, name.constData(), size_t(name.size()));
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        *error = QString::fromLocal8Bit(strerror(errno));
        return Reach::Failed;
    }
    const timeval patience{kAnswerSeconds, 0};
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &patience, sizeof patience);
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
    auto fail = [fd, error](Reach reach, const QString &why) {
        close(fd);
        if (reach == Reach::Failed)
            *error = why;
        return reach;
    };
    if (connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        const int e = errno;
        // Not listening yet, or a socket left by a run that died.
        if (e == ENOENT || e == ECONNREFUSED)
            return fail(Reach::Absent, QString());
        return fail(Reach::Failed, QString::fromLocal8Bit(strerror(e)));
    }
    if (!peerIsThisUser(fd))
        return fail(Reach::Failed, QStringLiteral("the socket %1 belongs to another user").arg(path));
    for (qsizetype sent = 0; sent < message.size();) {
        const ssize_t n = send(fd, message.constData() + sent, size_t(message.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return fail(Reach::Failed, QStringLiteral("it does not take the addresses"));
        sent += n;
    }
    QByteArray answer;
    char buffer[16];
    while (!answer.endsWith('\n') && answer.size() < qsizetype(sizeof buffer)) {
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        answer.append(buffer, n);
    }
    if (answer != HandOver::acknowledgement())
        return fail(Reach::Failed, QStringLiteral("it does not answer"));
    close(fd);
    return Reach::Taken;
}

} // namespace

ProfileInstance::ProfileInstance(const ProfileFolder &profile)
    : m_profile(profile)
    , m_lock(profile.lockFile())
{
}

ProfileInstance::~ProfileInstance()
{
    // The socket goes before the lock: a later start that finds the lock
    // free never meets a socket nobody answers.
    delete m_server;
}

QString ProfileInstance::socketPath(const ProfileFolder &profile)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty() || !isPrivateFolder(folder))
        return QString();
    // One name for one folder, however it was spelled.
    const QString canonical = QFileInfo(profile.path).canonicalFilePath();
    const QByteArray id = QCryptographicHash::hash(QFile::encodeName(canonical.isEmpty() ? profile.path : canonical),
                                                   QCryptographicHash::Sha256)
                              .toHex()
                              .left(16);
    return QStringLiteral("%1/kestrel-%2-%3").arg(folder).arg(geteuid()).arg(QString::fromLatin1(id));
}

ProfileInstance::Claim ProfileInstance::claim(const QStringList &addresses, QString *error)
{
    if (!m_profile.make(error))
        return Claim::Failed;
    const QByteArray message = HandOver::encode(addresses);
    const QDeadlineTimer deadline(kReachMs);
    for (;;) {
        int err = 0;
        if (m_lock.lock(0, &err))
            return Claim::Owner;
        if (err != EWOULDBLOCK) {
            *error = QStringLiteral("The profile %1 cannot be locked: %2").arg(m_profile.path,
                                                                                QString::fromLocal8Bit(strerror(err)));
            return Claim::Failed;
        }
        const QString path = socketPath(m_profile);
        if (path.isEmpty()) {
            *error = QStringLiteral("Kestrel already runs with the profile %1 and cannot be reached: "
                                    "there is no private runtime folder")
                         .arg(m_profile.path);
            return Claim::Failed;
        }
        QString why;
        switch (handOver(path, message, &why)) {
        case Reach::Taken: return Claim::HandedOver;
        case Reach::Failed:
            *error = QStringLiteral("Kestrel already runs with the profile %1, but %2").arg(m_profile.path, why);
            return Claim::Failed;
        case Reach::Absent: break;
        }
        if (deadline.hasExpired()) {
            *error = QStringLiteral("Kestrel already runs with the profile %1, but it does not answer")
                         .arg(m_profile.path);
            return Claim::Failed;
        }
        QThread::msleep(kRetryMs);
    }
}

bool ProfileInstance::listen(QString *error)
{
    const QString path = socketPath(m_profile);
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

void ProfileInstance::serve(QLocalSocket *socket)
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
        socket->write(HandOver::acknowledgement());
        socket->disconnectFromServer();
        emit openRequested(addresses);
    });
}

void ProfileInstance::drop(QLocalSocket *socket, const char *why)
{
    qCWarning(lcInstance, "A message to Kestrel's socket was dropped: %s", why);
    if (auto *deadline = socket->findChild<QTimer *>())
        deadline->stop();
    disconnect(socket, &QLocalSocket::readyRead, nullptr, nullptr);
    socket->abort();
    socket->deleteLater();
}
