#include "FavoritesStore.h"

namespace FavoritesStore {

namespace {
const QString kSection = QStringLiteral("Favorites");
const QString kNumber = QStringLiteral("Number");
const QString kName = QStringLiteral("Name");
const QString kUrl = QStringLiteral("URL");

bool inRange(const IniDocument &doc, int index)
{
    return index >= 0 && index < count(doc);
}
} // namespace

int parseCount(const QString &text)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    if (!ok || n < 0 || n > kMaxFavorites)
        return -1;
    return n;
}

int sectionsInARow(const IniDocument &doc, int limit)
{
    int n = 0;
    while (n < limit && doc.hasSection(QString::number(n)))
        ++n;
    return n;
}

int count(const IniDocument &doc)
{
    // A count is trusted only as far as the sections it names exist: one
    // that is damaged or too large must neither hide favorites nor invent
    // empty ones, and the next add must not land on a favorite.
    const int stored = parseCount(doc.value(kSection, kNumber));
    if (stored >= 0 && sectionsInARow(doc, stored) == stored)
        return stored;
    return sectionsInARow(doc, kMaxFavorites);
}

QStringList names(const IniDocument &doc)
{
    const int n = count(doc);
    QStringList out;
    out.reserve(n);
    for (int i = 0; i < n; ++i)
        out.append(doc.value(QString::number(i), kName));
    return out;
}

QString name(const IniDocument &doc, int index)
{
    return doc.value(QString::number(index), kName);
}

QString url(const IniDocument &doc, int index)
{
    return doc.value(QString::number(index), kUrl);
}

Result add(IniDocument &doc, const QString &name, const QString &url)
{
    const int n = count(doc);
    if (n >= kMaxFavorites)
        return Result::Full;
    const QString section = QString::number(n);
    doc.setValue(section, kName, name);
    doc.setValue(section, kUrl, url);
    doc.setValue(kSection, kNumber, QString::number(n + 1));
    return Result::Done;
}

Result update(IniDocument &doc, int index, const QString &name, const QString &url)
{
    if (!inRange(doc, index))
        return Result::OutOfRange;
    const QString section = QString::number(index);
    doc.setValue(section, kName, name);
    doc.setValue(section, kUrl, url);
    return Result::Done;
}

Result remove(IniDocument &doc, int index)
{
    const int n = count(doc);
    if (index < 0 || index >= n)
        return Result::OutOfRange;
    // Ascending, so each section is read before it is written over. The
    // stored text moves as it stands: moving the value as read would strip
    // one more pair of quotes from a name at every delete above it.
    for (int j = index; j < n - 1; ++j) {
        const QString from = QString::number(j + 1);
        const QString to = QString::number(j);
        doc.setValue(to, kName, doc.rawValue(from, kName));
        doc.setValue(to, kUrl, doc.rawValue(from, kUrl));
    }
    doc.setValue(kSection, kNumber, QString::number(n - 1));
    return Result::Done;
}

} // namespace FavoritesStore
