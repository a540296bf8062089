#include "Settings.h"
#include "SettingsLock.h"
#include "SettingsLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QSaveFile>
#include <QThread>

#include <mutex>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcSettings, "kestrel.settings")

namespace {

FileStamp stampOfDescriptor(int fd)
{
    struct stat st;
    if (fstat(fd, &st) != 0)
        return {};
    return FileStamp{quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size),
                     qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

FileStamp stampOfPath(const QString &path)
{
    const int fd = open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    const FileStamp s = stampOfDescriptor(fd);
    close(fd);
    return s;
}

// An editor that saves in place empties the file and writes it again in
// pieces a few milliseconds apart, so a file another program changed a
// moment ago may be half written. It counts as finished once it has been left
// alone for a while, longer when its last line is cut off; a change waits
// that long, but no longer than a user waits for a click to be answered.
constexpr qint64 kQuietMs = 250;
constexpr qint64 kQuietCutOffMs = 1000;
constexpr qint64 kWaitForWriterMs = 2000;

qint64 msSinceModified(const FileStamp &stamp)
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return (qint64(now.tv_sec) * 1000000000 + now.tv_nsec - stamp.modifiedNs) / 1000000;
}

// Whether another program may still be writing the version `stamp` with
// these bytes. A time in the future says nothing either way.
bool mayBeHalfWritten(const FileStamp &stamp, const QByteArray &bytes)
{
    if (!stamp.valid())
        return false;
    const bool cutOff = !bytes.isEmpty() && !bytes.endsWith('\n') && !bytes.endsWith('\r');
    const qint64 age = msSinceModified(stamp);
    return age >= 0 && age < (cutOff ? kQuietCutOffMs : kQuietMs);
}

QByteArray readFileBytes(const QString &path, FileStamp *stamp = nullptr)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (stamp)
            *stamp = {};
        return {};
    }
    if (stamp)
        *stamp = stampOfDescriptor(f.handle());
    return f.readAll();
}

// One line in the log for whoever watches it, and the same words for a
// caller that can tell the user.
bool fail(QString *error, const QString &path, const char *what, const QString &reason)
{
    qCWarning(lcSettings, "settings not saved to %s: %s: %s", qUtf8Printable(path), what, qUtf8Printable(reason));
    if (error)
        *error = QStringLiteral("The settings could not be saved to %1: %2 (%3).").arg(path, QLatin1String(what), reason);
    return false;
}

bool fail(QString *error, const QString &path, const char *what, int err)
{
    return fail(error, path, what, QString::fromLocal8Bit(std::strerror(err)));
}

QString exeDirectory()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    char buf[4096];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return QDir::currentPath();
    return QFileInfo(QString::fromLocal8Bit(buf, int(n))).absolutePath();
}

QString configHomeDirectory()
{
    const QByteArray xdg = qgetenv("XDG_CONFIG_HOME");
    if (!xdg.isEmpty())
        return QFile::decodeName(xdg);
    return QDir::homePath() + QStringLiteral("/.config");
}

} // namespace

namespace {

// Writes the new file beside `path` through `write` and renames it over the
// old one; a failed step leaves the old file as it was. With `unchangedSince`,
// the old file must still be that version when the new one is ready: if
// another program wrote it meanwhile, nothing is replaced and
// `changedMeanwhile` says so.
bool replaceFile(const QString &pathIn, const std::function<bool(QIODevice *)> &write, QString *error,
                 FileStamp *written, const FileStamp *unchangedSince = nullptr, bool *changedMeanwhile = nullptr)
{
    const QString path = settings_detail::writtenPath(pathIn);
    if (!settings_detail::checkWritable(path, error))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(error, path, "cannot create a temporary file", file.errorString());
    if (!write(&file) || !file.flush())
        return fail(error, path, "write failed", file.errorString());
    // QSaveFile goes on to the rename when its sync fails; a file that may
    // not be on the disk must not replace one that is.
    if (::fdatasync(file.handle()) != 0)
        return fail(error, path, "write failed", errno);
    // Which version is ours, so that our own writes are not taken for
    // another writer's: a rename keeps the inode and the time.
    if (written)
        *written = stampOfDescriptor(file.handle());
    if (unchangedSince && unchangedSince->valid() && stampOfPath(path) != *unchangedSince) {
        if (changedMeanwhile)
            *changedMeanwhile = true;
        file.cancelWriting();
        return false;
    }
    if (!file.commit())
        return fail(error, path, "cannot replace the file", file.errorString());
    return true;
}

} // namespace

namespace settings_detail {

bool modeAllowsWriting(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    if (access(native.constData(), W_OK) != 0)
        return false;
    // access() says yes to root for everything on a writable mount; a file or
    // folder that nobody may write is meant to stay as it is, also for root.
    struct stat st;
    if (geteuid() == 0 && stat(native.constData(), &st) == 0)
        return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    return true;
}

QString resolveIniPath(const QString &exeDir, const QString &configHome)
{
    // A portable program keeps its settings beside itself; an installed one
    // has its defaults under share/ and a folder that is not the user's.
    const QString beside = exeDir + QStringLiteral("/INI.ini");
    const QString installed = exeDir + QStringLiteral("/" KESTREL_DEFAULTS_FROM_BIN "/INI.ini");
    const bool besideExists = QFileInfo::exists(beside);
    if (modeAllowsWriting(exeDir)
        && (besideExists ? modeAllowsWriting(beside) : !QFileInfo::exists(installed)))
        return beside;

    // The user gets a copy of the defaults of their own, made once.
    const QString userDir = configHome + QStringLiteral("/Kestrel");
    const QString userFile = userDir + QStringLiteral("/INI.ini");
    if (!QFileInfo::exists(userFile)) {
        QDir().mkpath(userDir);
        const QByteArray defaults = readFileBytes(besideExists ? beside : installed);
        if (!defaults.isEmpty())
            replaceFileAtomically(userFile, defaults, nullptr);
    }
    return userFile;
}

QString writtenPath(const QString &path)
{
    // Write through a link to the file it names, so the link survives.
    const QFileInfo info(path);
    return info.isSymLink() ? info.symLinkTarget() : path;
}

bool checkWritable(const QString &pathIn, QString *error)
{
    const QString path = writtenPath(pathIn);
    const QFileInfo info(path);
    if (info.isDir())
        return fail(error, path, "is a folder", EISDIR);
    // A file the user made read-only is theirs to keep as it is.
    if (info.exists() && !modeAllowsWriting(path))
        return fail(error, path, "the file is read-only", EACCES);
    const QString folder = info.absolutePath();
    if (!QFileInfo(folder).isDir())
        return fail(error, path, "its folder does not exist", ENOENT);
    if (!modeAllowsWriting(folder))
        return fail(error, path, "its folder is read-only", EACCES);
    return true;
}

bool replaceFileAtomically(const QString &path, const QByteArray &bytes, QString *error, FileStamp *written)
{
    return replaceFile(
        path, [&](QIODevice *file) { return file->write(bytes) == bytes.size(); }, error, written);
}

} // namespace settings_detail

QString iniFilePath()
{
    const QByteArray env = qgetenv("KESTREL_INI");
    if (!env.isEmpty())
        return QFile::decodeName(env);
    // The folder does not move while the program runs.
    static const QString resolved = settings_detail::resolveIniPath(exeDirectory(), configHomeDirectory());
    return resolved;
}

QString readIniValue(const QString &section, const QString &key)
{
    return IniDocument::valueIn(readFileBytes(iniFilePath()), section, key);
}

IniDocument loadIniFile(FileStamp *stamp)
{
    return IniDocument::fromBytes(readFileBytes(iniFilePath(), stamp));
}

QByteArray readIniBytes(FileStamp *stamp)
{
    return readFileBytes(iniFilePath(), stamp);
}

FileStamp stampOfIniFile()
{
    return stampOfPath(iniFilePath());
}

Q_GLOBAL_STATIC(IniWriteNotifier, g_writeNotifier)

IniWriteNotifier *IniWriteNotifier::instance()
{
    return g_writeNotifier();
}

bool updateIniFile(const std::function<bool(IniDocument &)> &edit, QString *error, FileStamp *written)
{
    return updateIniFileAt(iniFilePath(), edit, error, written);
}

bool updateIniFileAt(const QString &path, const std::function<bool(IniDocument &)> &edit, QString *error,
                     FileStamp *written)
{
    // Refused before the lock, which would otherwise be made in a folder that
    // is not to be written.
    if (!settings_detail::checkWritable(path, error))
        return false;
    // Threads of this process queue here; other processes queue on the lock
    // file. The file is read under both, so no writer works on a copy that
    // another one has already replaced.
    static std::mutex inProcess;
    // What this process wrote last is finished, however fresh.
    static FileStamp lastWritten;
    std::lock_guard<std::mutex> guard(inProcess);
    SettingsLock lock(settings_detail::writtenPath(path) + QStringLiteral(".lock"));
    // A writer holds the lock for milliseconds.
    int lockError = 0;
    if (!lock.lock(20000, &lockError))
        return fail(error, path, "cannot lock the file", lockError);
    // A program that writes without the lock (a text editor) may be halfway
    // through: its lines are never written back cut off, nor replaced by a
    // copy read before it finished.
    QElapsedTimer waiting;
    waiting.start();
    for (;; QThread::msleep(50)) {
        const bool timeLeft = waiting.elapsed() < kWaitForWriterMs;
        FileStamp beforeStamp;
        const QByteArray before = readFileBytes(path, &beforeStamp);
        if (beforeStamp != lastWritten && mayBeHalfWritten(beforeStamp, before)) {
            if (timeLeft)
                continue;
            return fail(error, path, "another program is still writing it", EBUSY);
        }
        if (written)
            *written = beforeStamp;
        IniDocument doc = IniDocument::fromBytes(before);
        if (!edit(doc))
            return true;
        if (beforeStamp.valid() && doc.hasBytes(before))
            return true;
        FileStamp afterStamp;
        bool changedMeanwhile = false;
        if (!replaceFile(path, [&](QIODevice *file) { return doc.writeTo(file); }, error, &afterStamp, &beforeStamp,
                         &changedMeanwhile)) {
            if (changedMeanwhile && timeLeft)
                continue;
            if (changedMeanwhile)
                return fail(error, path, "another program is still writing it", EBUSY);
            return false;
        }
        lastWritten = afterStamp;
        emit IniWriteNotifier::instance()->replaced(beforeStamp, afterStamp);
        if (written)
            *written = afterStamp;
        return true;
    }
}

bool writeIniValues(const std::vector<IniWrite> &writes, QString *error)
{
    return updateIniFile(
        [&](IniDocument &doc) {
            for (const IniWrite &w : writes)
                doc.setValue(w.section, w.key, w.value);
            return true;
        },
        error);
}

bool writeIniValue(const QString &section, const QString &key, const QString &value, QString *error)
{
    return writeIniValues({IniWrite{section, key, value}}, error);
}
