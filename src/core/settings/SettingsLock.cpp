#include "SettingsLock.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

// QLockFile would do, but it syncs its lock file to disk on every lock, which
// costs as much as the write it guards. A kernel lock (flock) needs no file
// contents, and the kernel lets go of it when a holder dies, so no stale lock
// has to be recognised.

SettingsLock::SettingsLock(const QString &lockPath)
    : m_path(QFile::encodeName(lockPath))
{
}

SettingsLock::~SettingsLock()
{
    if (m_fd < 0)
        return;
    // Removed while still held, so that the file is gone once the lock is
    // free; a waiter that locked the removed file sees so and tries again.
    unlink(m_path.constData());
    close(m_fd);
}

bool SettingsLock::lock(int timeoutMs, int *err)
{
    const QDeadlineTimer deadline(timeoutMs);
    int pauseMs = 1;
    for (;;) {
        *err = 0;
        if (tryOnce(err))
            return true;
        if (*err != 0)
            return false;
        if (deadline.hasExpired()) {
            *err = EWOULDBLOCK;
            return false;
        }
        QThread::msleep(std::min<qint64>(pauseMs, std::max<qint64>(deadline.remainingTime(), 0)));
        pauseMs = std::min(pauseMs * 2, 16);
    }
}

// True when locked; false with `err` 0 when another holds it.
bool SettingsLock::tryOnce(int *err)
{
    const int fd = open(m_path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        *err = errno;
        return false;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int e = errno;
        close(fd);
        if (e != EWOULDBLOCK && e != EINTR)
            *err = e;
        return false;
    }
    // The holder before may have removed the file between our open and our
    // lock: a lock on a file no longer at the path guards nothing.
    struct stat held, current;
    if (fstat(fd, &held) == 0 && stat(m_path.constData(), &current) == 0 && held.st_ino == current.st_ino
        && held.st_dev == current.st_dev) {
        m_fd = fd;
        return true;
    }
    close(fd);
    return false;
}
