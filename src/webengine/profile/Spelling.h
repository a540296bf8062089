#pragma once

#include <QString>

class QWebEngineProfile;

// Turns spell checking on for `profile` in the language of the user's locale,
// when a dictionary for it is installed: the engine's own place, the one
// beside the program or its installed share folder, or Debian's
// /usr/share/hunspell-bdic. Call before the engine first needs a
// dictionary; false when there is none.
bool enableSpelling(QWebEngineProfile *profile);

// The dictionary name (as "en_US") to check `localeName` with among the
// dictionaries in `folder`: the locale's own, else one of its language.
QString dictionaryFor(const QString &localeName, const QString &folder);
