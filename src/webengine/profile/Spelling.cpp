#include "Spelling.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QWebEngineProfile>

namespace {
const char kPathVariable[] = "QTWEBENGINE_DICTIONARIES_PATH";
} // namespace

QString dictionaryFor(const QString &localeName, const QString &folder)
{
    // The C locale speaks English.
    const QString wanted = localeName == QLatin1String("C") || localeName.isEmpty() ? QStringLiteral("en_US")
                                                                                     : localeName;
    const QDir dir(folder);
    if (dir.exists(wanted + QStringLiteral(".bdic")))
        return wanted;
    const QString language = wanted.section(QLatin1Char('_'), 0, 0);
    const QStringList sameLanguage =
        dir.entryList({language + QStringLiteral("_*.bdic"), language + QStringLiteral(".bdic")}, QDir::Files,
                      QDir::Name);
    return sameLanguage.isEmpty() ? QString() : sameLanguage.first().chopped(int(qstrlen(".bdic")));
}

bool enableSpelling(QWebEngineProfile *profile)
{
    const QString locale = QLocale::system().name();
    QStringList folders;
    if (qEnvironmentVariableIsSet(kPathVariable))
        folders << qEnvironmentVariable(kPathVariable);
    const QString program = QCoreApplication::applicationDirPath();
    folders << program + QStringLiteral("/qtwebengine_dictionaries")
            << program + QStringLiteral("/../share/kestrel/qtwebengine_dictionaries")
            << QStringLiteral("/usr/share/hunspell-bdic");
    for (const QString &folder : folders) {
        const QString name = dictionaryFor(locale, folder);
        if (name.isEmpty())
            continue;
        // The engine reads one folder, the first time it needs it.
        qputenv(kPathVariable, QFile::encodeName(QDir(folder).absolutePath()));
        profile->setSpellCheckLanguages({name});
        profile->setSpellCheckEnabled(true);
        return true;
    }
    return false;
}
