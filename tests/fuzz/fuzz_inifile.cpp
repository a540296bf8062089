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
    return !t.isEmpty() && !t.contains(u'=') && !t.contains(u'[') && !t.contains(u']');
}

QHash<QString, QString> snapshot(const IniDocument &doc)
{
    QHash<QString, QString> out;
    for (const auto &[section, key] : doc.entries())
        out.insert(IniDocument::normalizedName(section).toLower() + QChar(0x1F)
                       + IniDocument::normalizedName(key).toLower(),
                   doc.value(section, key));
    return out;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<QByteArray> fields = fuzzFields(data, size);
    IniDocument doc = IniDocument::fromBytes(fields.value(0));
    for (int i = 1; i + 2 < fields.size(); i += 3) {
        const QString section = QString::fromUtf8(fields[i]);
        const QString key = QString::fromUtf8(fields[i + 1]);
        const QString value = QString::fromUtf8(fields[i + 2]);
        if (!usableName(section) || !usableName(key))
            continue;
        const QHash<QString, QString> before = snapshot(doc);
        doc.setValue(section, key, value);
        const IniDocument reread = IniDocument::fromBytes(doc.toBytes());
        const QString expected = IniDocument::unquoted(IniDocument::sanitized(value));
        FUZZ_CHECK(reread.value(section, key) == expected,
                   QStringLiteral("[%1] %2 reads '%3', wrote '%4'").arg(section, key, reread.value(section, key), expected));
        const QString written = IniDocument::normalizedName(section).toLower() + QChar(0x1F)
                                + IniDocument::normalizedName(key).toLower();
        for (auto it = before.constBegin(); it != before.constEnd(); ++it) {
            if (it.key() == written)
                continue;
            const qsizetype cut = it.key().indexOf(QChar(0x1F));
            const QString now = reread.value(it.key().left(cut), it.key().mid(cut + 1));
            FUZZ_CHECK(now == it.value(), QStringLiteral("entry %1 changed from '%2' to '%3'")
                                              .arg(QString::fromLatin1(it.key().toUtf8().toPercentEncoding()), it.value(), now));
        }
        doc = reread;
    }
    return 0;
}
