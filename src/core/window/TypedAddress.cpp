#include "TypedAddress.h"

#include <QRegularExpression>
#include <QUrl>

namespace {

// Schemes a user types without "//" after them.
bool hasBareScheme(const QString &t)
{
    static const char *const schemes[] = {"about:", "data:", "file:", "mailto:", "qrc:", "view-source:"};
    for (const char *scheme : schemes) {
        if (t.startsWith(QLatin1String(scheme), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

bool hasSchemeAndSlashes(const QString &t)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    return scheme.match(t).hasMatch();
}

bool isIPv4(const QString &host)
{
    const QStringList parts = host.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    for (const QString &part : parts) {
        bool ok = false;
        if (part.isEmpty() || part.size() > 3 || part.toUInt(&ok) > 255 || !ok)
            return false;
    }
    return true;
}

bool isDigitsAndDots(const QString &host)
{
    for (QChar c : host) {
        if (!c.isDigit() && c != QLatin1Char('.'))
            return false;
    }
    return true;
}

// One word, no scheme: an address when its host part is one.
bool wordIsAddress(const QString &word)
{
    QString host = word.left(word.indexOf(QRegularExpression(QStringLiteral("[/?#]"))));
    host = host.mid(host.lastIndexOf(QLatin1Char('@')) + 1);
    if (host.startsWith(QLatin1Char('[')))
        return true; // an IPv6 literal
    const int colon = host.lastIndexOf(QLatin1Char(':'));
    if (colon >= 0) {
        // A name with a port is meant as a server; "word:word" is not.
        const QString port = host.mid(colon + 1);
        bool numeric = false;
        port.toUInt(&numeric);
        if (!numeric)
            return false;
        if (colon > 0)
            return true;
        host.truncate(colon);
    }
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 || isIPv4(host))
        return true;
    // "3.14" is a number, not a server.
    if (isDigitsAndDots(host))
        return false;
    const int dot = host.indexOf(QLatin1Char('.'));
    return dot > 0 && dot < host.size() - 1;
}

} // namespace

TypedAddress TypedAddress::from(const QString &typed)
{
    const QString t = typed.trimmed();
    if (t.isEmpty())
        return {};
    if (t.startsWith(QLatin1Char('?'))) {
        const QString words = t.mid(1).trimmed();
        return words.isEmpty() ? TypedAddress{} : TypedAddress{Kind::Search, words};
    }
    if (hasSchemeAndSlashes(t) || hasBareScheme(t) || t.startsWith(QLatin1Char('/')))
        return {Kind::Address, t};
    if (t.contains(QRegularExpression(QStringLiteral("\\s"))) || !wordIsAddress(t))
        return {Kind::Search, t};
    return {Kind::Address, t};
}

QString searchAddress(const QString &searchUrl, const QString &words)
{
    const QString encoded = QString::fromLatin1(QUrl::toPercentEncoding(words)).replace(QLatin1String("%20"),
                                                                                        QLatin1String("+"));
    QString out = searchUrl;
    if (!out.contains(QLatin1String("%s")))
        return out + encoded;
    return out.replace(QLatin1String("%s"), encoded);
}
