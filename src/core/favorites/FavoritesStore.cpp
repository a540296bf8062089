#include "FavoritesStore.h"

#include <algorithm>
#include <cstring>

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

QStringList names(const IniDocument &doc, const QStringList &previous)
{
    return doc.numberedValues(count(doc), kName, previous);
}

Rows rowsBetween(const QStringList &before, const QStringList &after)
{
    auto same = [](const QString &x, const QString &y) { return x.constData() == y.constData() || x == y; };
    const int oldN = int(before.size()), newN = int(after.size());
    int p = 0;
    while (p < oldN && p < newN && same(before.at(p), after.at(p)))
        ++p;
    int s = 0;
    while (s < oldN - p && s < newN - p && same(before.at(oldN - 1 - s), after.at(newN - 1 - s)))
        ++s;
    return {p, oldN - s - p, newN - s - p};
}

Rows NamesFollower::update(const QByteArray &bytes)
{
    Rows rows;
    if (m_known && followOneLine(bytes, &rows))
        return rows;
    const IniDocument doc = IniDocument::fromBytes(bytes);
    const QStringList now = FavoritesStore::names(doc, m_names);
    rows = rowsBetween(m_names, now);
    m_names = now;
    m_headers.resize(size_t(m_names.size()));
    for (int n = 0; n < int(m_names.size()); ++n)
        m_headers[size_t(n)] = doc.numberedHeaderOffset(n);
    m_bytes = bytes;
    m_known = true;
    return rows;
}

Rows NamesFollower::replace(const QStringList &names)
{
    const Rows rows = rowsBetween(m_names, names);
    m_names = names;
    m_known = false;
    m_bytes.clear();
    m_headers.clear();
    return rows;
}

namespace {

// Where two texts differ: from `start` to `endOld` in the old one and to
// `endNew` in the new one; start == -1 when they are the same.
struct Change
{
    qsizetype start = -1, endOld = 0, endNew = 0;
};

Change changeBetween(const QByteArray &a, const QByteArray &b)
{
    const qsizetype na = a.size(), nb = b.size(), shortest = std::min(na, nb);
    // Compared a block at a time, which memcmp does at the memory's speed.
    constexpr qsizetype kBlock = 4096;
    qsizetype p = 0;
    while (p + kBlock <= shortest && std::memcmp(a.data() + p, b.data() + p, kBlock) == 0)
        p += kBlock;
    while (p < shortest && a[p] == b[p])
        ++p;
    if (p == na && na == nb)
        return {};
    qsizetype s = 0;
    while (s + kBlock <= shortest - p
           && std::memcmp(a.data() + na - s - kBlock, b.data() + nb - s - kBlock, kBlock) == 0)
        s += kBlock;
    while (s < shortest - p && a[na - 1 - s] == b[nb - 1 - s])
        ++s;
    return {p, na - s, nb - s};
}

bool isNameEntry(const IniLine &l)
{
    return l.kind == IniLine::Entry && IniDocument::normalizedName(l.name.toString()).compare(kName, Qt::CaseInsensitive) == 0;
}

// The section the line starting at `lineStart` is in, and whether a Name
// entry comes before that line in it.
struct Enclosing
{
    qsizetype header = -1;
    QString section;
    bool nameBefore = false;
};

Enclosing enclosingSection(const QByteArray &b, qsizetype lineStart)
{
    Enclosing e;
    const qsizetype first = b.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    for (qsizetype start = lineStart; start > first && e.header < 0;) {
        qsizetype end = start - 1;
        if (end > 0 && b[end] == '\n' && b[end - 1] == '\r')
            --end;
        qsizetype begin = end;
        while (begin > 0 && b[begin - 1] != '\n' && b[begin - 1] != '\r')
            --begin;
        if (begin == 0 && first == 3)
            begin = 3;
        const QString text = decodeIniLine(QByteArrayView(b.data() + begin, end - begin));
        const IniLine line = classifyIniLine(text);
        if (line.kind == IniLine::Header) {
            e.header = begin;
            e.section = IniDocument::normalizedName(line.name.toString());
        }
        e.nameBefore = e.nameBefore || isNameEntry(line);
        start = begin;
    }
    return e;
}

} // namespace

bool NamesFollower::followOneLine(const QByteArray &bytes, Rows *rows)
{
    const QByteArray &a = m_bytes;
    const QByteArray &b = bytes;
    const qsizetype na = a.size(), nb = b.size();
    const Change c = changeBetween(a, b);
    if (c.start < 0)
        return true;
    const qsizetype p = c.start;
    // Only a change inside one line, which keeps every line end (and a byte
    // order mark) as it was.
    auto breaks = [](const char *from, const char *to) {
        return std::find_if(from, to, [](char ch) { return ch == '\n' || ch == '\r'; }) != to;
    };
    if (p < 3 || a[p - 1] == '\r' || breaks(a.data() + p, a.data() + c.endOld) || breaks(b.data() + p, b.data() + c.endNew))
        return false;
    qsizetype ls = p;
    while (ls > 0 && a[ls - 1] != '\n' && a[ls - 1] != '\r')
        --ls;
    qsizetype lea = c.endOld;
    while (lea < na && a[lea] != '\n' && a[lea] != '\r')
        ++lea;
    const qsizetype leb = lea + (nb - na);
    if (ls < 3)
        return false;
    const QString oldText = decodeIniLine(QByteArrayView(a.data() + ls, lea - ls));
    const IniLine was = classifyIniLine(oldText);
    const QString newText = decodeIniLine(QByteArrayView(b.data() + ls, leb - ls));
    const IniLine now = classifyIniLine(newText);
    // Sections and keys stay where they were: only a value may differ.
    if (was.kind == IniLine::Header || now.kind != was.kind || now.name != was.name)
        return false;

    const Enclosing e = enclosingSection(b, ls);
    bool ok = false;
    const int number = e.section.toInt(&ok);
    const bool numbered = ok && number >= 0 && number <= kMaxFavorites && e.section == QString::number(number);
    if (e.header >= 0 && !numbered && e.section.compare(kSection, Qt::CaseInsensitive) == 0)
        return false; // the count may have changed
    if (e.header >= 0 && numbered && number < m_names.size() && m_headers[size_t(number)] == e.header
        && isNameEntry(now) && !e.nameBefore) {
        QString name = IniDocument::unquoted(now.value);
        if (name != m_names.at(number)) {
            m_names[number] = std::move(name);
            *rows = {number, 1, 1};
        }
    }
    for (qsizetype &h : m_headers) {
        if (h > ls)
            h += nb - na;
    }
    m_bytes = bytes;
    return true;
}

QString name(const IniDocument &doc, int index)
{
    return doc.value(QString::number(index), kName);
}

QString url(const IniDocument &doc, int index)
{
    return doc.value(QString::number(index), kUrl);
}

int find(const IniDocument &doc, const QString &wantedName, const QString &wantedUrl, int near)
{
    const int n = count(doc);
    near = qBound(0, near, n);
    auto matches = [&](int i) { return i >= 0 && i < n && name(doc, i) == wantedName && url(doc, i) == wantedUrl; };
    for (int d = 0; near - d >= 0 || near + d < n; ++d) {
        if (matches(near - d))
            return near - d;
        if (d > 0 && matches(near + d))
            return near + d;
    }
    return -1;
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
