#pragma once

#include <QSet>
#include <QString>

#include <functional>

// The name a download is saved under. A server or a page suggests it, so it
// is made safe to save and to show before anything is written: no characters
// that reorder, hide or break the text, no hidden (leading-dot) files, and no
// name the file system would refuse.
namespace DownloadName {

// What remains of `suggested` once cleaned: control, format and bidirectional
// characters and line breaks go, runs of spaces become one, leading and
// trailing dots and spaces go, and the name is cut to `maxBytes` of UTF-8
// with its extension kept. Nothing left (also ".", "..") gives "download".
QString clean(const QString &suggested, int maxBytes);

// `name` with " (n)" before its extension ("report (2).pdf"; "data (2).tar.gz"),
// cut to `maxBytes` the same way; n = 0 gives the name itself.
QString numbered(const QString &name, int n, int maxBytes);

} // namespace DownloadName

// The final names of the downloads under way. A name is taken when the
// download starts, not when its file appears at the end, so downloads of one
// name running at once each get a name of their own. A download writes to
// its name plus a suffix of the engine's (its partial file) until done, so
// both are kept apart from every other download's name and partial file.
class DownloadNames
{
public:
    // `exists` says whether a path is taken on disk.
    DownloadNames(std::function<bool(const QString &path)> exists, QString partialSuffix);

    // Takes the first free path for `name` (cleaned already) in `folder`: the
    // name itself, else "name (1).ext", "name (2).ext"...; empty when none of
    // the first thousands is free.
    QString reserve(const QString &folder, const QString &name, int maxBytes);
    // Frees a path that reserve() gave, once its download has ended.
    void release(const QString &path);

private:
    bool taken(const QString &path) const;

    std::function<bool(const QString &)> m_exists;
    QString m_partialSuffix;
    QSet<QString> m_reserved; // reserved paths and their partial files
};
