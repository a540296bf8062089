// One value read straight from the file's bytes, going only as far as its
// entry: reading a setting must not cost parsing 32,767 favorites.
#include "IniDocument.h"
#include "IniLineScanner.h"

#include <cstring>

using namespace ini_detail;

namespace {

// What is looked for, made once.
struct Wanted
{
    QString section, key;
    QByteArray plainKey;
    bool keyIsPlain = false;
    int number = -1; // the favorite's number when the section is one

    bool isSection(const HeaderLine &h) const
    {
        return number >= 0 ? h.number == number
                           : h.number < 0 && h.name.compare(section, Qt::CaseInsensitive) == 0;
    }
};

bool isInlineBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

// Whether the '[' at `hit` may open the header of favorite `digits`: the
// digits follow it, or a byte that is not plain might hide them.
bool mayOpenFavorite(const char *hit, const char *end, const QByteArray &digits)
{
    auto odd = [](char c) { return c == '\0' || isHigh(c); };
    const char *d = hit + 1;
    while (d < end && isInlineBlank(*d))
        ++d;
    if (d == end || odd(*d))
        return true;
    const char *after = d + digits.size();
    return end - d >= digits.size() && std::memcmp(d, digits.constData(), size_t(digits.size())) == 0
        && (after >= end || odd(*after) || isBlank(*after) || *after == ']');
}

// Where the lines of favorite `number`'s section start, or null when it has
// none. Every header holds a '[': jump from one to the next and look closely
// only where the number may follow.
const char *afterFavoriteHeader(const char *start, const char *end, int number)
{
    const QByteArray digits = QByteArray::number(number);
    for (const char *p = start;;) {
        const char *hit = findByte(p, end, '[');
        if (!hit)
            return nullptr;
        if (!mayOpenFavorite(hit, end, digits)) {
            p = hit + 1;
            continue;
        }
        const char *ls = hit;
        while (ls > start && ls[-1] != '\n' && ls[-1] != '\r')
            --ls;
        const LineBounds line = lineAt(ls, end);
        p = nextLine(line);
        if (headerAt(ls, line.end).number == number)
            return p;
        if (p >= end)
            return nullptr;
    }
}

// Outside the section only headers matter, and every header line holds a
// '[': the start of the next line that may be one, or null.
const char *nextBracketLine(const char *p, const char *end)
{
    for (;;) {
        const char *bracket = findByte(p, end, '[');
        if (!bracket)
            return nullptr;
        const char *b = bracket;
        while (b > p && isInlineBlank(b[-1]))
            --b;
        if (b > p && !isHigh(b[-1]) && b[-1] != '\n' && b[-1] != '\r') {
            // Inside a line: no header. On to the next line.
            const char *stop = lineAt(bracket, end).end;
            if (stop == end)
                return nullptr;
            p = stop + 1;
            continue;
        }
        // The start of the line that holds it.
        while (b > p && b[-1] != '\n' && b[-1] != '\r')
            --b;
        return b;
    }
}

// The value of the line when it is the wanted key's entry.
bool entryValue(QByteArrayView line, const Wanted &w, QString *value)
{
    const char *b = line.data(), *e = b + line.size();
    const char *eq = findByte(b, e, '=');
    if (w.keyIsPlain && isPlain(b, eq ? eq : e)) {
        const QByteArrayView t = trimmedBytes(b, eq ? eq : e);
        if (!eq || (t.size() && t[0] == ';') || t.size() != w.plainKey.size()
            || qstrnicmp(t.data(), w.plainKey.constData(), t.size()) != 0)
            return false;
        const QString text = decodeIniLine(line);
        *value = IniDocument::unquoted(classifyIniLine(text).value);
        return true;
    }
    const QString text = decodeIniLine(line);
    const IniLine shape = classifyIniLine(text);
    if (shape.kind != IniLine::Entry || !sameKey(shape.name, w.key))
        return false;
    *value = IniDocument::unquoted(shape.value);
    return true;
}

} // namespace

QString IniDocument::valueIn(const QByteArray &bytes, const QString &sectionIn, const QString &keyIn)
{
    Wanted w;
    w.section = normalizedName(sectionIn);
    w.key = normalizedName(keyIn);
    w.keyIsPlain = plainBytesOf(w.key, &w.plainKey);
    w.number = favoriteNumber(w.section);

    const char *const end = bytes.constData() + bytes.size();
    const char *const start = bytes.constData() + (bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0);
    const char *p = start;
    bool inside = false;
    if (w.number >= 0) {
        p = afterFavoriteHeader(start, end, w.number);
        if (!p)
            return {};
        inside = true;
    }
    while (p < end) {
        if (!inside && !(p = nextBracketLine(p, end)))
            return {};
        const LineBounds line = lineAt(p, end);
        // Headers are found as fromBytes finds them.
        const HeaderLine header = headerAt(p, line.end);
        if (header.isHeader) {
            if (inside)
                return {}; // the first section of the name is the one read
            inside = w.isSection(header);
        } else if (inside) {
            QString value;
            if (entryValue(QByteArrayView(p, line.end - p), w, &value))
                return value;
        }
        p = nextLine(line);
    }
    return {};
}
