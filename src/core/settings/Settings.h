#pragma once

#include "IniDocument.h"

#include <QObject>
#include <QString>
#include <functional>
#include <utility>
#include <vector>

// The one settings file every window and dialog shares. Each call reads the
// file afresh, so what one window writes is what the next reader gets.

// One version of the file: a replacement is a new inode, an edit in place a
// new time or size.
struct FileStamp
{
    quint64 device = 0, inode = 0;
    qint64 size = -1, modifiedNs = 0;
    bool valid() const { return size >= 0; }
    bool operator==(const FileStamp &o) const
    {
        return device == o.device && inode == o.inode && size == o.size && modifiedNs == o.modifiedNs;
    }
    bool operator!=(const FileStamp &o) const { return !(*this == o); }
};

// The file in use: $KESTREL_INI when set, otherwise INI.ini beside the
// executable, or a per-user copy when the program's folder is read-only.
QString iniFilePath();

QString readIniValue(const QString &section, const QString &key);
// Writers return false when the file could not be written (it is then as it
// was); `error` gets a sentence naming the file and the reason, and one
// warning goes to the log (category kestrel.settings, stderr by default).
bool writeIniValue(const QString &section, const QString &key, const QString &value, QString *error = nullptr);

struct IniWrite
{
    QString section, key, value;
};
// Several values that belong together, replaced in the file at once.
bool writeIniValues(const std::vector<IniWrite> &writes, QString *error = nullptr);

// Reads the file once, lets `edit` change the copy and writes it back in one
// replacement when `edit` returns true. Returns false when a write was wanted
// but failed (the file is then as it was). Other writers wait meanwhile.
// `written` holds the version read while `edit` runs, and afterwards the
// version of the file that holds the result.
bool updateIniFile(const std::function<bool(IniDocument &)> &edit, QString *error = nullptr,
                   FileStamp *written = nullptr);

// The same on a file named now, for work that runs later on another thread.
bool updateIniFileAt(const QString &path, const std::function<bool(IniDocument &)> &edit,
                     QString *error = nullptr, FileStamp *written = nullptr);

// The whole file as a document (empty when missing or unreadable), and the
// version it was read from.
IniDocument loadIniFile(FileStamp *stamp = nullptr);

// The file's bytes as they are now (empty when missing or unreadable).
QByteArray readIniBytes(FileStamp *stamp = nullptr);

// The version of the file on disk now.
FileStamp stampOfIniFile();

// Says which version of the file each write of this process replaced and
// which one it wrote, so that a reader following the file can tell this
// program's own writes from another program's. Emitted on the writing
// thread, right after the new file is in place.
class IniWriteNotifier : public QObject
{
    Q_OBJECT
public:
    static IniWriteNotifier *instance();

signals:
    void replaced(const FileStamp &before, const FileStamp &after);
};

namespace settings_detail {
// Writes `bytes` to a temporary file beside `path` and renames it over the
// old one, so a reader never sees half a file. Logs one warning and returns
// false when that cannot be done.
bool replaceFileAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr,
                           FileStamp *written = nullptr);
// Refuses (with one warning) what may not or cannot be written.
bool checkWritable(const QString &path, QString *error);
// Whether the mode bits let this process write `path`, root included.
bool modeAllowsWriting(const QString &path);
// The file a write replaces: the target of a link.
QString writtenPath(const QString &path);
// Path resolution against explicit folders, for tests.
QString resolveIniPath(const QString &exeDir, const QString &configHome);
} // namespace settings_detail
