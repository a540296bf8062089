#pragma once

#include "IniDocument.h"

#include <QString>
#include <functional>
#include <utility>
#include <vector>

// The one settings file every window and dialog shares. Each call reads the
// file afresh, so what one window writes is what the next reader gets.

// The file in use: $KESTREL_INI when set, otherwise INI.ini beside the
// executable, or a per-user copy when the program's folder is read-only.
QString iniFilePath();

QString ReadIniValue(const QString &section, const QString &key);
void WriteIniValue(const QString &section, const QString &key, const QString &value);

struct IniWrite
{
    QString section, key, value;
};
// Several values that belong together, replaced in the file at once.
void WriteIniValues(const std::vector<IniWrite> &writes);

// Reads the file once, lets `edit` change the copy and writes it back in one
// replacement when `edit` returns true. Returns false when a write was wanted
// but failed (the file is then as it was).
bool UpdateIniFile(const std::function<bool(IniDocument &)> &edit);

// The whole file as a document (empty when missing or unreadable).
IniDocument LoadIniFile();

namespace settings_detail {
// Writes `bytes` to a temporary file beside `path` and renames it over the
// old one, so a reader never sees half a file. Prints one warning line and
// returns false when that cannot be done.
bool replaceFileAtomically(const QString &path, const QByteArray &bytes);
// Path resolution against explicit folders, for tests.
QString resolveIniPath(const QString &exeDir, const QString &configHome);
} // namespace settings_detail
