#pragma once

#include <QByteArray>
#include <QStringList>
#include <optional>

// What a later start of Kestrel hands to the Kestrel that already runs with
// its profile: a list of addresses, nothing else. An empty list asks for one
// new window.
//
// On the wire: the line "KESTREL OPEN 1", then one fully encoded address a
// line, then an empty line. The running Kestrel answers "OK" and a line
// break once it took the list.
namespace HandOver {

// The most a message may hold; a larger one is not read to its end.
constexpr int kMaxMessageBytes = 64 * 1024;
// The most addresses one message may open, each in a window of its own.
constexpr int kMaxAddresses = 100;

QByteArray encode(const QStringList &addresses);

enum class Reading { Incomplete, Complete, Refused };
// Whether `received` so far is a whole message, one that cannot become one
// (too large, not the format, an address that is not an absolute address
// or that runs script), or a beginning.
Reading check(const QByteArray &received);
// The addresses of a complete message that check() accepts; none otherwise.
std::optional<QStringList> decode(const QByteArray &message);

// The running Kestrel's answer once it took the list.
inline QByteArray acknowledgement()
{
    return QByteArrayLiteral("OK\n");
}

} // namespace HandOver
