#include "PageSite.h"

namespace {

QString shownPlainly(QString text)
{
    for (QChar &c : text) {
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Other_Format
            || category == QChar::Separator_Line || category == QChar::Separator_Paragraph)
            c = QChar::ReplacementCharacter;
    }
    return text;
}

QString hostAndPort(const QUrl &url)
{
    QString host = url.host();
    if (host.contains(QLatin1Char(':')))
        host = QLatin1Char('[') + host + QLatin1Char(']');
    // The engine drops a scheme's own port from what it commits.
    if (url.port() != -1)
        host += QLatin1Char(':') + QString::number(url.port());
    return shownPlainly(host);
}

} // namespace

PageSite PageSite::of(const QUrl &committed, bool certificateException)
{
    const QString scheme = committed.scheme();
    // These show another address's content; that address is the site.
    if (scheme == QLatin1String("view-source") || scheme == QLatin1String("blob"))
        return of(QUrl(committed.path()), certificateException);
    if (committed.isEmpty() || scheme == QLatin1String("about"))
        return {};
    if (scheme == QLatin1String("qrc") || scheme == QLatin1String("data"))
        return {Kind::Program, QStringLiteral("Kestrel")};
    if (scheme == QLatin1String("file"))
        return {Kind::File, shownPlainly(committed.toLocalFile())};
    if (scheme == QLatin1String("https") || scheme == QLatin1String("wss"))
        return {certificateException ? Kind::UntrustedCertificate : Kind::Secure, hostAndPort(committed)};
    if (committed.host().isEmpty())
        return {Kind::NotSecure, shownPlainly(scheme + QLatin1Char(':'))};
    return {Kind::NotSecure, hostAndPort(committed)};
}

QString PageSite::originOf(const QUrl &url)
{
    return url.adjusted(QUrl::RemoveUserInfo | QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment).toString();
}

QString PageSite::subject() const
{
    return kind != Kind::File && !name.isEmpty() ? name : QStringLiteral("This page");
}

QString PageSite::prefix() const
{
    switch (kind) {
    case Kind::Secure: return QStringLiteral("https://");
    case Kind::NotSecure: return QStringLiteral("Not secure: ");
    case Kind::UntrustedCertificate: return QStringLiteral("Certificate not trusted: ");
    case Kind::None:
    case Kind::File:
    case Kind::Program: break;
    }
    return QString();
}
