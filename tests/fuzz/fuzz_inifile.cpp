// Arbitrary bytes as a settings file, then writes on it: after each write the
// written key reads back as written, and every other entry as before.
#include "FuzzCheck.h"
#include "settings/IniDocument.h"

#include <QHash>

namespace {
// Names the program itself uses are plain: these can round-trip.
bool usableName(const QString &n)
{
    const QString t = IniDocument::sanitized(n).trimmed();
    return !t.isEmpty() && !t.startsWith(u';') && !t.contains(u'=') && !t.contains(u'[') && !t.contains(u']');
}

using Name = QPair<QString, QString>; // section and key as they match

Name nameOf(const QString &section, const QString &key)
{
    return {IniDocument::normalizedName(section).toLower(), IniDocument::normalizedName(key).toLower()};
}

QHash<Name, QString> snapshot(const IniDocument &doc)
{
    QHash<Name, QString> out;
    for (const auto &[section, key] : doc.entries())
        out.insert(nameOf(section, key), doc.value(section, key));
    return out;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<QByteArray> fields = fuzzFields(data, size);
    IniDocument doc = IniDocument::fromBytes(fields.value(0));
    // The single-value reader finds what the document finds.
    for (const auto &[section, key] : doc.entries()) {
        FUZZ_CHECK(IniDocument::valueIn(fields.value(0), section, key) == doc.value(section, key),
                   QStringLiteral("[%1] %2 read alone differs").arg(section, key));
    }
    for (int i = 1; i + 2 < fields.size(); i += 3) {
        const QString section = QString::fromUtf8(fields[i]);
        const QString key = QString::fromUtf8(fields[i + 1]);
        const QString value = QString::fromUtf8(fields[i + 2]);
        if (!usableName(section) || !usableName(key))
            continue;
        const QHash<Name, QString> before = snapshot(doc);
        doc.setValue(section, key, value);
        const IniDocument reread = IniDocument::fromBytes(doc.toBytes());
        const QString expected = IniDocument::unquoted(IniDocument::sanitized(value));
        FUZZ_CHECK(reread.value(section, key) == expected,
                   QStringLiteral("[%1] %2 reads '%3', wrote '%4'").arg(section, key, reread.value(section, key), expected));
        const Name written = nameOf(section, key);
        for (auto it = before.constBegin(); it != before.constEnd(); ++it) {
            if (it.key() == written)
                continue;
            const QString now = reread.value(it.key().first, it.key().second);
            FUZZ_CHECK(now == it.value(),
                       QStringLiteral("entry [%1] %2 changed from '%3' to '%4'")
                           .arg(QString::fromLatin1(it.key().first.toUtf8().toPercentEncoding()),
                                QString::fromLatin1(it.key().second.toUtf8().toPercentEncoding()), it.value(), now));
        }
        doc = reread;
    }
    return 0;
}
