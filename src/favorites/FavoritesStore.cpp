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
    return doc.numberedSectionsInARow(limit);
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
    return doc.numberedValues(count(doc), kName);
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
    doc.shiftNumberedDown(index, n - 1, {kName, kUrl});
    doc.setValue(kSection, kNumber, QString::number(n - 1));
    return Result::Done;
}

} // namespace FavoritesStore
