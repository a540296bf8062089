#include "IniDocument.h"

#include <QStringDecoder>

#include <algorithm>

namespace {

// Windows-1252 for 0x80..0x9F; the rest of the upper half matches Latin-1.
// Undefined positions map to the C1 control of the same number, as browsers do.
const char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString decodeCp1252(const QByteArray &bytes)
{
    QString out;
    out.resize(bytes.size());
    QChar *dst = out.data();
    for (unsigned char c : bytes) {
        *dst++ = (c >= 0x80 && c < 0xA0) ? QChar(kCp1252High[c - 0x80]) : QChar(c);
    }
    return out;
}

} // namespace

QString decodeIniBytes(const QByteArray &bytes, bool *wasUtf8, bool *hadBom)
{
    QByteArray body = bytes;
    const bool bom = body.startsWith("\xEF\xBB\xBF");
    if (bom)
        body.remove(0, 3);
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(body);
    bool ok = !utf8.hasError();
    if (!ok)
        text = decodeCp1252(bytes);
    if (wasUtf8)
        *wasUtf8 = ok;
    if (hadBom)
        *hadBom = ok && bom;
    return text;
}

size_t qHash(const FoldedName &key, size_t seed)
{
    // Folded code point by code point, as QString::compare folds them.
    QtPrivate::QHashCombine combine;
    const QString &n = key.name;
    for (qsizetype i = 0; i < n.size(); ++i) {
        char32_t c = n[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < n.size() && n[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(n[i].unicode(), n[++i].unicode());
        seed = combine(seed, QChar::toCaseFolded(c));
    }
    return seed;
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

IniDocument IniDocument::fromBytes(const QByteArray &bytes)
{
    IniDocument doc;
    const QString text = decodeIniBytes(bytes, &doc.m_utf8, &doc.m_bom);

    doc.m_sections.push_back(Section{});
    doc.m_sections.back().isPreamble = true;

    const qsizetype n = text.size();
    qsizetype start = 0;
    while (start < n) {
        qsizetype i = start;
        while (i < n && text[i] != u'\r' && text[i] != u'\n')
            ++i;
        QString line = text.mid(start, i - start);
        // Shared terminators: a large file has one per line.
        static const QString crlf = QStringLiteral("\r\n"), lf = QStringLiteral("\n"), cr = QStringLiteral("\r");
        QString eol;
        if (i < n) {
            if (text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                eol = crlf;
            else
                eol = text[i] == u'\n' ? lf : cr;
        }
        start = i + eol.size();
        doc.appendLine(std::move(line), std::move(eol));
    }
    return doc;
}

void IniDocument::appendLine(QString text, QString eol)
{
    const IniLine shape = classifyIniLine(text);
    if (shape.kind == IniLine::Header) {
        Section s;
        s.name = shape.name.toString();
        s.lines.push_back(Line{std::move(text), std::move(eol)});
        const FoldedName folded = fold(s.name);
        m_sections.push_back(std::move(s));
        if (!m_sectionIndex.contains(folded))
            m_sectionIndex.insert(folded, int(m_sections.size() - 1));
        return;
    }
    Section &s = m_sections.back();
    s.lines.push_back(Line{std::move(text), std::move(eol)});
    if (shape.kind == IniLine::Entry && !s.isPreamble)
        indexEntry(s, int(s.lines.size() - 1));
}

void IniDocument::indexEntry(Section &s, int lineIndex)
{
    const IniLine shape = classifyIniLine(s.lines[lineIndex].text);
    const FoldedName folded = fold(shape.name.toString());
    if (!s.keys.contains(folded))
        s.keys.insert(folded, lineIndex);
}

QByteArray IniDocument::toBytes() const
{
    qsizetype size = 0;
    for (const Section &s : m_sections) {
        for (const Line &l : s.lines)
            size += l.text.size() + l.eol.size();
    }
    QString text;
    text.reserve(size);
    for (const Section &s : m_sections) {
        for (const Line &l : s.lines) {
            text += l.text;
            text += l.eol;
        }
    }
    QByteArray out = text.toUtf8();
    if (m_bom)
        out.prepend("\xEF\xBB\xBF");
    return out;
}

QString IniDocument::normalizedName(const QString &name)
{
    return sanitized(name).trimmed();
}

const QString *IniDocument::entryLine(const QString &section, const QString &key) const
{
    const auto sit = m_sectionIndex.constFind(fold(section));
    if (sit == m_sectionIndex.constEnd())
        return nullptr;
    const Section &s = m_sections[*sit];
    const auto kit = s.keys.constFind(fold(key));
    return kit == s.keys.constEnd() ? nullptr : &s.lines[*kit].text;
}

bool IniDocument::hasSection(const QString &section) const
{
    return m_sectionIndex.contains(fold(section));
}

QString IniDocument::value(const QString &section, const QString &key) const
{
    const QString *line = entryLine(section, key);
    return line ? unquoted(classifyIniLine(*line).value) : QString();
}

QString IniDocument::rawValue(const QString &section, const QString &key) const
{
    const QString *line = entryLine(section, key);
    return line ? classifyIniLine(*line).value.toString() : QString();
}

QList<QPair<QString, QString>> IniDocument::entries() const
{
    QList<QPair<QString, QString>> out;
    for (const auto &[folded, index] : m_sectionIndex.asKeyValueRange()) {
        Q_UNUSED(folded);
        const Section &s = m_sections[index];
        for (const auto &[key, line] : s.keys.asKeyValueRange()) {
            Q_UNUSED(line);
            out.append({s.name, key.name});
        }
    }
    return out;
}

void IniDocument::setValue(const QString &sectionIn, const QString &keyIn, const QString &valueIn)
{
    const QString section = normalizedName(sectionIn);
    const QString key = normalizedName(keyIn);
    const QString value = sanitized(valueIn);
    const QString crlf = QStringLiteral("\r\n");

    auto sit = m_sectionIndex.constFind(fold(section));
    if (sit == m_sectionIndex.constEnd()) {
        // A file that does not end with a line break must get one before the
        // new header, or the header would be glued onto the last line.
        Line *last = nullptr;
        for (auto it = m_sections.rbegin(); it != m_sections.rend() && !last; ++it) {
            if (!it->lines.empty())
                last = &it->lines.back();
        }
        if (last && last->eol.isEmpty())
            last->eol = crlf;
        appendLine(QLatin1Char('[') + section + QLatin1Char(']'), crlf);
        appendLine(key + QLatin1Char('=') + value, crlf);
        return;
    }

    Section &s = m_sections[*sit];
    const auto kit = s.keys.constFind(fold(key));
    if (kit != s.keys.constEnd()) {
        Line &line = s.lines[*kit];
        const IniLine shape = classifyIniLine(line.text);
        line.text = shape.name.toString() + QLatin1Char('=') + value;
        return;
    }

    // After the last non-blank line of the section, so blank lines that
    // separate it from the next section stay where they are.
    int pos = int(s.lines.size());
    while (pos > 1 && s.lines[pos - 1].text.trimmed().isEmpty())
        --pos;
    Line &before = s.lines[pos - 1];
    if (before.eol.isEmpty())
        before.eol = crlf;
    s.lines.insert(s.lines.begin() + pos, Line{key + QLatin1Char('=') + value, crlf});
    for (auto it = s.keys.begin(); it != s.keys.end(); ++it) {
        if (it.value() >= pos)
            ++it.value();
    }
    s.keys.insert(fold(key), pos);
}
