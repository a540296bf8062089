#include "IniLineScanner.h"

#include "IniDocument.h"

#include <algorithm>
#include <cstring>

namespace {

// Windows-1252 for 0x80..0x9F; the rest of the upper half matches Latin-1.
// Undefined positions map to the C1 control of the same number, as browsers do.
const char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString decodeCp1252(QByteArrayView bytes)
{
    QString out;
    out.resize(bytes.size());
    QChar *dst = out.data();
    for (char b : bytes) {
        const unsigned char c = static_cast<unsigned char>(b);
        *dst++ = (c >= 0x80 && c < 0xA0) ? QChar(kCp1252High[c - 0x80]) : QChar(char16_t(c));
    }
    return out;
}

} // namespace

namespace ini_detail {

int favoriteNumber(QByteArrayView name)
{
    if (name.isEmpty() || name.size() > 5 || (name.size() > 1 && name[0] == '0'))
        return -1;
    int n = 0;
    for (char c : name) {
        if (c < '0' || c > '9')
            return -1;
        n = n * 10 + (c - '0');
    }
    return n <= kLargestNumber ? n : -1;
}

int favoriteNumber(const QString &name)
{
    if (name.size() > 5)
        return -1;
    char buf[5];
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        if (c > 0x7F)
            return -1;
        buf[i] = char(c);
    }
    return favoriteNumber(QByteArrayView(buf, name.size()));
}

bool plainBytesOf(const QString &text, QByteArray *bytes)
{
    for (QChar c : text) {
        if (c.unicode() == 0 || c.unicode() > 0x7F)
            return false;
    }
    *bytes = text.toLatin1();
    return true;
}

const char *lineEndBytes(int eol)
{
    static const char *const s[] = {"", "\n", "\r", "\r\n"};
    return s[eol];
}

HeaderLine headerAt(const char *lineStart, const char *lineEnd)
{
    HeaderLine out;
    if (!mayBeHeader(lineStart, lineEnd))
        return out;
    const char *q = lineStart;
    while (isBlank(*q))
        ++q;
    if (isPlain(q, lineEnd)) {
        const char *nameEnd = findByte(q, lineEnd, ']');
        const QByteArrayView name = trimmedBytes(q + 1, nameEnd ? nameEnd : lineEnd);
        out.isHeader = true;
        // A favorite's header is told without making text of it.
        out.number = favoriteNumber(name);
        if (out.number < 0)
            out.name = QString::fromLatin1(name.data(), name.size());
        return out;
    }
    const QString text = decodeIniLine(QByteArrayView(lineStart, lineEnd - lineStart));
    const IniLine shape = classifyIniLine(text);
    if (shape.kind == IniLine::Header) {
        out.isHeader = true;
        out.name = IniDocument::normalizedName(shape.name.toString());
        out.number = favoriteNumber(out.name);
    }
    return out;
}

bool sameKey(QStringView name, const QString &key)
{
    return name.compare(key, Qt::CaseInsensitive) == 0
        || (name.contains(QChar(0))
            && IniDocument::normalizedName(name.toString()).compare(key, Qt::CaseInsensitive) == 0);
}

} // namespace ini_detail

using namespace ini_detail;

QString decodeIniLine(QByteArrayView bytes)
{
    if (bytes.isEmpty() || isPlain(bytes))
        return QString::fromLatin1(bytes);
    if (bytes.isValidUtf8())
        return QString::fromUtf8(bytes);
    return decodeCp1252(bytes);
}

IniLine classifyIniLine(QStringView line)
{
    IniLine out;
    const QStringView t = line.trimmed();
    if (t.startsWith(u'[')) {
        out.kind = IniLine::Header;
        QStringView rest = t.mid(1);
        const auto close = rest.indexOf(u']');
        out.name = (close < 0 ? rest : rest.left(close)).trimmed();
        return out;
    }
    // A comment may hold an equals sign; it is still no entry.
    if (t.startsWith(u';'))
        return out;
    const auto eq = line.indexOf(u'=');
    if (eq < 0)
        return out;
    out.kind = IniLine::Entry;
    out.name = line.left(eq).trimmed();
    out.value = line.mid(eq + 1);
    return out;
}

QString IniDocument::unquoted(QStringView rawValue)
{
    QStringView v = rawValue.trimmed();
    if (v.size() >= 2) {
        const QChar first = v.front();
        if ((first == u'"' || first == u'\'') && v.back() == first)
            v = v.mid(1, v.size() - 2);
    }
    return v.toString();
}

QString IniDocument::sanitized(const QString &text)
{
    auto bad = [](QChar c) { return c == u'\r' || c == u'\n' || c == u'\0'; };
    // Most text is clean: share it instead of copying it.
    if (std::none_of(text.cbegin(), text.cend(), bad))
        return text;
    QString out = text;
    std::replace_if(out.begin(), out.end(), bad, QChar(u' '));
    return out;
}

QString IniDocument::normalizedName(const QString &name)
{
    return sanitized(name).trimmed();
}
