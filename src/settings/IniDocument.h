#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

// A section or key name as a hash key that matches without regard to case,
// without making a lower-case copy for every look-up.
struct FoldedName
{
    QString name;
};
inline bool operator==(const FoldedName &a, const FoldedName &b)
{
    return a.name.compare(b.name, Qt::CaseInsensitive) == 0;
}
size_t qHash(const FoldedName &key, size_t seed = 0);

// An in-memory copy of a private-profile text file that can be edited and
// written back with every byte it did not change left as it was.
//
// Section and key names match without regard to case; values are returned
// with surrounding blanks and one pair of matching quotes removed. The first
// section of a name and the first key of a name within it win, as the
// classic reader does.
class IniDocument
{
public:
    IniDocument() = default;

    // Text that is valid UTF-8 is read as UTF-8; anything else was written by
    // an 8-bit program and is read as Windows-1252.
    static IniDocument fromBytes(const QByteArray &bytes);
    QByteArray toBytes() const;

    QString value(const QString &section, const QString &key) const;
    bool hasSection(const QString &section) const;
    // The value exactly as it stands after the equals sign, blanks and quotes
    // included: copying it to another entry reads back the same.
    QString rawValue(const QString &section, const QString &key) const;
    // Every (section, key) a reader can reach, in no set order.
    QList<QPair<QString, QString>> entries() const;

    // Replaces an existing key where it stands, appends a missing key after
    // the last entry of its section and a missing section at the end.
    void setValue(const QString &section, const QString &key, const QString &value);

    // CR, LF and NUL would let a value start another line: they become blanks.
    static QString sanitized(const QString &text);

    // A section or key name as it is stored and looked up.
    static QString normalizedName(const QString &name);

    // The value part of an entry line as a reader sees it.
    static QString unquoted(QStringView rawValue);

private:
    struct Line
    {
        QString text;   // without its terminator
        QString eol;    // "\r\n", "\n", "\r" or "" for an unterminated last line
    };
    struct Section
    {
        QString name;               // empty for the lines before the first header
        std::vector<Line> lines;    // lines[0] is the header, except for the preamble
        QHash<FoldedName, int> keys; // key -> index into lines (first wins)
        bool isPreamble = false;
    };

    void appendLine(QString text, QString eol);
    const QString *entryLine(const QString &section, const QString &key) const;
    void indexEntry(Section &s, int lineIndex);
    // Names match as a write stores them, without regard to case.
    static FoldedName fold(const QString &name) { return FoldedName{normalizedName(name)}; }

    std::vector<Section> m_sections;
    QHash<FoldedName, int> m_sectionIndex; // section name -> index (first wins)
    bool m_utf8 = true;
    bool m_bom = false;
};

// The shape of one line of the file, shared by the full parser and the
// single-value scanner so both read the file the same way.
struct IniLine
{
    enum Kind { Other, Header, Entry } kind = Other;
    QStringView name;   // section name or key, trimmed
    QStringView value;  // raw value after '=', not yet trimmed or unquoted
};
IniLine classifyIniLine(QStringView line);

// Bytes of a settings file to text, with the same encoding rule as IniDocument.
QString decodeIniBytes(const QByteArray &bytes, bool *wasUtf8 = nullptr, bool *hadBom = nullptr);
