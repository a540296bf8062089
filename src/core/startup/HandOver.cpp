#include "HandOver.h"

#include <QUrl>

namespace {

const QByteArray kHeader = QByteArrayLiteral("KESTREL OPEN 1\n");
const QByteArray kEnd = QByteArrayLiteral("\n\n");

// An address as the sending side resolved it: absolute, printable, and not
// one that runs script in whatever page the window happens to show.
bool acceptable(const QByteArray &line)
{
    for (char c : line) {
        if (uchar(c) < 0x21 || uchar(c) > 0x7e)
            return false; // a fully encoded address has no spaces or bytes beyond ASCII
    }
    const QUrl url = QUrl::fromEncoded(line, QUrl::StrictMode);
    return url.isValid() && !url.isRelative() && url.scheme().compare(QLatin1String("javascript"), Qt::CaseInsensitive) != 0;
}

} // namespace

namespace HandOver {

QByteArray encode(const QStringList &addresses)
{
    QByteArray out = kHeader;
    for (const QString &a : addresses)
        out += QUrl(a).toEncoded() + '\n';
    return out + '\n';
}

Reading check(const QByteArray &received)
{
    if (received.size() > kMaxMessageBytes || !kHeader.startsWith(received.left(kHeader.size())))
        return Reading::Refused;
    if (received.size() <= kHeader.size())
        return Reading::Incomplete;
    const QByteArray body = received.mid(kHeader.size());
    // The empty list ends at once; anything after an end is not a message.
    const qsizetype end = body.startsWith('\n') ? 1 : body.indexOf(kEnd);
    if (end < 0)
        return Reading::Incomplete;
    if (end + (body.startsWith('\n') ? 0 : kEnd.size()) != body.size())
        return Reading::Refused;
    return decode(received) ? Reading::Complete : Reading::Refused;
}

std::optional<QStringList> decode(const QByteArray &message)
{
    if (message.size() > kMaxMessageBytes || !message.startsWith(kHeader) || !message.endsWith('\n'))
        return std::nullopt;
    const QByteArray body = message.mid(kHeader.size());
    if (body == "\n")
        return QStringList();
    if (!body.endsWith(kEnd))
        return std::nullopt;
    const QList<QByteArray> lines = body.left(body.size() - kEnd.size()).split('\n');
    if (lines.size() > kMaxAddresses)
        return std::nullopt;
    QStringList out;
    for (const QByteArray &line : lines) {
        if (!acceptable(line))
            return std::nullopt;
        out << QUrl::fromEncoded(line, QUrl::StrictMode).toString();
    }
    return out;
}

} // namespace HandOver
