#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <vector>

class QIODevice;

// An in-memory copy of a private-profile text file that can be edited and
// written back with every line it did not change left byte for byte.
//
// Section and key names match without regard to case; values are returned
// with surrounding blanks and one pair of matching quotes removed. The first
// section of a name and the first key of a name within it win, as the
// classic reader does. A line whose first non-blank character is ';' is a
// comment.
//
// Each line is read as UTF-8 when it is valid UTF-8 and as Windows-1252
// otherwise, so one line from an 8-bit program does not change how the
// others read. Lines that are written are UTF-8.
class IniDocument
{
public:
    IniDocument() = default;

    static IniDocument fromBytes(const QByteArray &bytes);
    QByteArray toBytes() const;
    // What toBytes() returns, written to `device` a block at a time without
    // a copy of the whole file first. False when a write fails.
    bool writeTo(QIODevice *device) const;
    // Whether toBytes() would return `bytes`, told without making it.
    bool hasBytes(const QByteArray &bytes) const;

    QString value(const QString &section, const QString &key) const;
    // The same answer as fromBytes(bytes).value(section, key), found by
    // reading only as far as the entry.
    static QString valueIn(const QByteArray &bytes, const QString &section, const QString &key);
    bool hasSection(const QString &section) const;
    // The value exactly as it stands after the equals sign, blanks and quotes
    // included: copying it to another entry reads back the same.
    QString rawValue(const QString &section, const QString &key) const;
    // How many of the sections "0", "1", ... exist in a row, up to `limit`.
    int numberedSectionsInARow(int limit) const;
    // value(QString::number(i), key) for i = 0 .. count-1, in one pass;
    // entries of `likely` that match are shared rather than made anew.
    QStringList numberedValues(int count, const QString &key, const QStringList &likely = {}) const;
    // Where the header of section "n" starts in the bytes read, or -1; for a
    // document not yet changed.
    qsizetype numberedHeaderOffset(int n) const;
    // setValue(to, key, rawValue(from, key)), moving the bytes as they are.
    void copyValue(const QString &fromSection, const QString &toSection, const QString &key);
    // copyValue(j + 1, j, key) for j = first .. last - 1 and each key, in
    // one pass over the numbered sections.
    void shiftNumberedDown(int first, int last, const QStringList &keys);
    // Every (section, key) a reader can reach, in no set order.
    QList<QPair<QString, QString>> entries() const;

    // Replaces an existing key where it stands, inserts a missing key right
    // after the last entry of its section and appends a missing section at
    // the end. New lines end as the file's lines end.
    void setValue(const QString &section, const QString &key, const QString &value);

    // CR, LF and NUL would let a value start another line: they become blanks.
    static QString sanitized(const QString &text);

    // A section or key name as it is stored and looked up.
    static QString normalizedName(const QString &name);

    // The value part of an entry line as a reader sees it.
    static QString unquoted(QStringView rawValue);

private:
    enum Eol : quint8 { NoEol, Lf, Cr, CrLf };
    // Sixteen bytes: a large file has a hundred thousand lines, and the
    // table of them is made afresh for every change.
    struct Line
    {
        Line(qsizetype offset, qsizetype length, bool owned, Eol eol)
            : offset(offset), length(length), owned(owned), eol(eol)
        {
        }
        qsizetype offset;     // into m_bytes, or into m_written
        qsizetype length : 61; // without the terminator
        bool owned : 1;       // a line written here, in m_written
        Eol eol : 2;
    };
    static_assert(sizeof(Line) == 2 * sizeof(qsizetype), "a line's place fits in two words");
    struct Section
    {
        int header = -1; // line index; -1 for the lines before the first header
        int end = 0;     // one past its last line
    };
    struct Named
    {
        QString name; // as looked up
        int section;
    };

    QByteArrayView lineBytes(const Line &l) const
    {
        return QByteArrayView((l.owned ? m_written : m_bytes).constData() + l.offset, l.length);
    }
    QString lineText(int line) const;
    int findSection(const QString &normalized) const;
    // Index of the first entry line of `key` in section `s`, or -1.
    int findKey(int s, const QString &normalizedKey) const;
    // The key's line in section `s` when both are plain ASCII, else -2 (ask
    // findKey); -1 when the key is not there.
    int findPlainKey(int s, QByteArrayView key) const;
    void addSection(int headerLine, const QString &name, int number);
    // Hands the bytes of the document to `sink` in order, a run at a time,
    // until it returns false.
    template <typename Sink>
    bool forEachRun(Sink &&sink) const;
    void insertLine(int at, Line line);
    Line ownedLine(const QString &text, Eol eol);
    // A new line made of `head`, then `sep` unless it is NUL, then `tail`.
    Line writtenLine(QByteArrayView head, char sep, QByteArrayView tail, Eol eol);

    QByteArray m_bytes;
    QByteArray m_written; // the text of every line written here, one after another
    std::vector<Line> m_lines;
    std::vector<Section> m_sections;
    // Sections named "0".."32767" are the favorites: found by number.
    std::vector<int> m_numbered;
    std::vector<Named> m_named;
    qsizetype m_start = 0; // past a byte order mark
    Eol m_eol = CrLf;      // how the file's lines end
};

// The shape of one line of the file.
struct IniLine
{
    enum Kind { Other, Header, Entry } kind = Other;
    QStringView name;   // section name or key, trimmed
    QStringView value;  // raw value after '=', not yet trimmed or unquoted
};
IniLine classifyIniLine(QStringView line);
// The views point into the text, so a temporary would leave them dangling.
IniLine classifyIniLine(QString &&) = delete;

// One line's bytes as text: UTF-8 when valid, Windows-1252 otherwise.
QString decodeIniLine(QByteArrayView bytes);
