#include "LoadStatus.h"

#include <QWebEngineLoadingInfo>

namespace {

// The engine names its errors like "net::ERR_NAME_NOT_RESOLVED"; a user
// reads "name not resolved".
QString inWords(const QString &engineReason)
{
    const QLatin1String errorPrefix("ERR_");
    QString words = engineReason;
    words.remove(QStringLiteral("net::"));
    if (words.startsWith(errorPrefix))
        words = words.mid(errorPrefix.size()).replace(QLatin1Char('_'), QLatin1Char(' ')).toLower();
    return words;
}

} // namespace

QString loadStatusText(const QWebEngineLoadingInfo &info)
{
    switch (info.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus:
        return QStringLiteral("Opening page %1...").arg(info.url().toDisplayString());
    case QWebEngineLoadingInfo::LoadStoppedStatus:
        return QStringLiteral("Stopped");
    case QWebEngineLoadingInfo::LoadFailedStatus:
        // The server answered with an error page of its own: it is shown.
        if (info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain)
            return QStringLiteral("Done (the server answered %1)").arg(info.errorCode());
        return QStringLiteral("Could not open the page: %1").arg(inWords(info.errorString()));
    case QWebEngineLoadingInfo::LoadSucceededStatus:
        break;
    }
    return QStringLiteral("Done");
}
