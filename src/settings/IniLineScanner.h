#pragma once

#include <QByteArrayView>
#include <QString>

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
bool isPlain(const char *p, const char *end);
inline bool isPlain(QByteArrayView bytes)
{
    return isPlain(bytes.data(), bytes.data() + bytes.size());
}

inline bool isBlank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}
inline bool isHigh(char c)
{
    return static_cast<unsigned char>(c) >= 0x80;
}
QByteArrayView trimmedBytes(const char *b, const char *e);
const char *findByte(const char *p, const char *end, char c);

// "0".."32767" as the program writes favorite numbers, or -1.
int favoriteNumber(QByteArrayView name);
int favoriteNumber(const QString &name);

const char *lineEndBytes(int eol);
qsizetype lineEndLength(int eol);

// The line that starts at p: where its text ends, and the break that ends it.
struct LineBounds
{
    const char *end;
    int eol;
};
LineBounds lineAt(const char *p, const char *end);
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

// Whether an entry's name, as the line reads, is `key` (normalized) as a
// write stores it: a NUL inside a stored name counts as a blank.
bool sameKey(QStringView name, const QString &key);

} // namespace ini_detail
