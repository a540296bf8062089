#include "Session.h"

#include <QDataStream>
#include <QIODevice>
#include <QFile>
#include <QLoggingCategory>
#include <QSaveFile>

Q_LOGGING_CATEGORY(lcSession, "kestrel.session")

namespace {

constexpr quint32 kMagic = 0x4b534553; // "KSES"
constexpr quint32 kVersion = 1;
// More windows than anybody keeps open: a count beyond it is damage.
constexpr quint32 kMostWindows = 10000;

} // namespace

QByteArray Session::encode() const
{
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s.setVersion(QDataStream::Qt_6_0);
    s << kMagic << kVersion << running << quint32(windows.size());
    for (const Window &w : windows)
        s << w.geometry << w.view;
    return out;
}

std::optional<Session> Session::decode(const QByteArray &bytes)
{
    QDataStream s(bytes);
    s.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0, version = 0, count = 0;
    Session out;
    s >> magic >> version >> out.running >> count;
    if (s.status() != QDataStream::Ok || magic != kMagic || version != kVersion || count > kMostWindows)
        return std::nullopt;
    for (quint32 i = 0; i < count; ++i) {
        Window w;
        s >> w.geometry >> w.view;
        if (s.status() != QDataStream::Ok)
            return std::nullopt;
        out.windows << w;
    }
    if (!s.atEnd())
        return std::nullopt;
    return out;
}

std::optional<Session> Session::load(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    std::optional<Session> session = decode(f.readAll());
    if (!session)
        qCWarning(lcSession, "The saved windows in %s are damaged and are not restored", qPrintable(path));
    return session;
}

bool Session::save(const QString &path, QString *error) const
{
    QSaveFile f(path);
    if (f.open(QIODevice::WriteOnly)) {
        f.write(encode());
        if (f.commit())
            return true;
    }
    const QString reason = f.errorString();
    if (error)
        *error = QStringLiteral("The windows could not be saved to %1: %2").arg(path, reason);
    qCWarning(lcSession, "The windows could not be saved to %s: %s", qPrintable(path), qPrintable(reason));
    return false;
}
