#include "ProfileClaim.h"

#include "HandOver.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// How long a later start waits for the running Kestrel: to begin listening
// after it took the profile, and to take the list once connected.
constexpr int kReachMs = 20000;
constexpr int kAnswerSeconds = 10;
constexpr int kRetryMs = 50;

bool isPrivateFolder(const QString &path)
{
    struct stat st;
    return lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid()
           && (st.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

} // namespace

bool peerIsThisUser(int fd)
{
    ucred peer{};
    socklen_t size = sizeof peer;
    return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == geteuid();
}

namespace {

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

ProfileClaim::ProfileClaim(const ProfileFolder &profile)
    : m_profile(profile)
    , m_lock(profile.lockFile())
{
}

QString ProfileClaim::socketPath(const ProfileFolder &profile)
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

ProfileClaim::Outcome ProfileClaim::claim(const QStringList &addresses, QString *error)
{
    if (!m_profile.make(error))
        return Outcome::Failed;
    const QByteArray message = HandOver::encode(addresses);
    const QDeadlineTimer deadline(kReachMs);
    for (;;) {
        int err = 0;
        if (m_lock.lock(0, &err))
            return Outcome::Owner;
        if (err != EWOULDBLOCK) {
            *error = QStringLiteral("The profile %1 cannot be locked: %2").arg(m_profile.path,
                                                                                QString::fromLocal8Bit(strerror(err)));
            return Outcome::Failed;
        }
        const QString path = socketPath(m_profile);
        if (path.isEmpty()) {
            *error = QStringLiteral("Kestrel already runs with the profile %1 and cannot be reached: "
                                    "there is no private runtime folder")
                         .arg(m_profile.path);
            return Outcome::Failed;
        }
        QString why;
        switch (handOver(path, message, &why)) {
        case Reach::Taken: return Outcome::HandedOver;
        case Reach::Failed:
            *error = QStringLiteral("Kestrel already runs with the profile %1, but %2").arg(m_profile.path, why);
            return Outcome::Failed;
        case Reach::Absent: break;
        }
        if (deadline.hasExpired()) {
            *error = QStringLiteral("Kestrel already runs with the profile %1, but it does not answer")
                         .arg(m_profile.path);
            return Outcome::Failed;
        }
        QThread::msleep(kRetryMs);
    }
}

