#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstring>

// Looking at the raw bytes of a settings file a line at a time: where a line
// ends, whether its bytes can be read without decoding them, and whether it
// is a section header. Shared by the document and the single-value reader so
// that both see the same lines and the same sections.
namespace ini_detail {

// The highest section number the favorites use.
constexpr int kLargestNumber = 32767;

// How a line ends, as IniDocument stores it.
enum LineEnd : int { NoLineEnd, LfEnd, CrEnd, CrLfEnd };

// Plain ASCII without NUL: such a line reads the same as bytes and as text,
// so it can be looked at without decoding it.
inline bool isPlain(const char *p, const char *end)
{
    for (; p < end; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c >= 0x80 || c == 0)
            return false;
    }
    return true;
}
inline bool isPlain(QByteArrayView bytes)
{
    return isPlain(bytes.data(), bytes.data() + bytes.size());
}

// A key that is plain text, as its bytes: keys are looked for among the
// bytes of plain lines. False for text that has a NUL or anything beyond
// ASCII, which must be compared as text.
bool plainBytesOf(const QString &text, QByteArray *bytes);

inline bool isBlank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}
inline bool isHigh(char c)
{
    return static_cast<unsigned char>(c) >= 0x80;
}
inline QByteArrayView trimmedBytes(const char *b, const char *e)
{
    while (b < e && isBlank(*b))
        ++b;
    while (e > b && isBlank(e[-1]))
        --e;
    return QByteArrayView(b, e - b);
}
inline const char *findByte(const char *p, const char *end, char c)
{
    return static_cast<const char *>(std::memchr(p, c, size_t(end - p)));
}

inline bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
inline char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : c;
}
// Whether a plain key can be matched by startsWithEntryOf: no '=' in it, no
// ';' to make a comment of it, no blanks at its ends.
inline bool hasUsualForm(QByteArrayView key)
{
    if (!key.isEmpty() && (key.front() == ';' || isBlank(key.front()) || isBlank(key.back())))
        return false;
    for (char c : key) {
        if (c == '=')
            return false;
    }
    return true;
}
// Whether `line` is an entry of `key` (plain, in its usual form) written the
// usual way: the key, case aside, then '='. Such a line needs no trimming or
// decoding to be told; any other needs the full look.
inline bool startsWithEntryOf(QByteArrayView line, QByteArrayView key)
{
    const qsizetype n = key.size();
    if (line.size() <= n || line[n] != '=')
        return false;
    for (qsizetype i = 0; i < n; ++i) {
        if (asciiLower(line[i]) != asciiLower(key[i]))
            return false;
    }
    return true;
}

// "0".."32767" as the program writes favorite numbers, or -1.
int favoriteNumber(QByteArrayView name);
int favoriteNumber(const QString &name);

const char *lineEndBytes(int eol);
inline qsizetype lineEndLength(int eol)
{
    return eol == CrLfEnd ? 2 : eol == NoLineEnd ? 0 : 1;
}

// The line that starts at p: where its text ends, and the break that ends it.
struct LineBounds
{
    const char *end;
    int eol;
};
inline LineBounds lineAt(const char *p, const char *end)
{
    const char *lf = findByte(p, end, '\n');
    const char *lineEnd = lf ? lf : end;
    if (const char *cr = findByte(p, lineEnd, '\r'))
        return {cr, cr + 1 == lf ? CrLfEnd : CrEnd};
    return {lineEnd, lf ? LfEnd : NoLineEnd};
}
// Where the next line starts.
inline const char *nextLine(const LineBounds &line)
{
    return line.end + lineEndLength(line.eol);
}

// A section header as the reader sees it: a favorite's by its number, any
// other by its name as looked up.
struct HeaderLine
{
    bool isHeader = false;
    int number = -1;
    QString name; // empty for a plain favorite's header
};
HeaderLine headerAt(const char *lineStart, const char *lineEnd);
// Whether the line may be a header at all, without looking further: every
// header holds a '[' after its blanks, unless a byte that is not plain hides
// the blanks.
inline bool mayBeHeader(const char *lineStart, const char *lineEnd)
{
    const char *q = lineStart;
    while (q < lineEnd && isBlank(*q))
        ++q;
    return q < lineEnd && (*q == '[' || isHigh(*q));
}

// Whether an entry's name, as the line reads, is `key` (normalized) as a
// write stores it: a NUL inside a stored name counts as a blank.
bool sameKey(QStringView name, const QString &key);

} // namespace ini_detail
