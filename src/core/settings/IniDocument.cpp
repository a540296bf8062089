#include "IniDocument.h"
#include "IniLineScanner.h"

using namespace ini_detail;

IniDocument IniDocument::fromBytes(const QByteArray &bytes)
{
    IniDocument doc;
    doc.m_bytes = bytes;
    doc.m_numbered.assign(kLargestNumber + 1, -1);
    doc.m_start = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    doc.m_sections.push_back(Section{-1, 0});
    doc.m_lines.reserve(size_t(bytes.size() / 20));

    const char *const base = bytes.constData();
    const char *const end = base + bytes.size();
    bool eolSeen = false;
    for (const char *p = base + doc.m_start; p < end;) {
        const LineBounds line = lineAt(p, end);
        const Eol eol = Eol(line.eol);
        if (!eolSeen && eol != NoEol) {
            doc.m_eol = eol;
            eolSeen = true;
        }
        const int index = int(doc.m_lines.size());
        doc.m_lines.push_back(Line(p - base, line.end - p, false, eol));
        // Only headers matter here; entries are looked at when asked for.
        if (mayBeHeader(p, line.end)) {
            const HeaderLine header = headerAt(p, line.end);
            if (header.isHeader)
                doc.addSection(index, header.name, header.number);
        }
        p = nextLine(line);
    }
    doc.m_sections.back().end = int(doc.m_lines.size());
    return doc;
}

void IniDocument::addSection(int headerLine, const QString &name, int number)
{
    m_sections.back().end = headerLine;
    m_sections.push_back(Section{headerLine, headerLine + 1});
    const int s = int(m_sections.size() - 1);
    if (number < 0)
        number = favoriteNumber(name);
    if (number >= 0) {
        if (m_numbered[size_t(number)] < 0)
            m_numbered[size_t(number)] = s;
        return;
    }
    for (const Named &n : m_named) {
        if (n.name.compare(name, Qt::CaseInsensitive) == 0)
            return;
    }
    m_named.push_back(Named{name, s});
}

QString IniDocument::lineText(int line) const
{
    return decodeIniLine(lineBytes(m_lines[size_t(line)]));
}

int IniDocument::findSection(const QString &name) const
{
    const int number = favoriteNumber(name);
    if (number >= 0)
        return m_numbered.empty() ? -1 : m_numbered[number];
    for (const Named &n : m_named) {
        if (n.name.compare(name, Qt::CaseInsensitive) == 0)
            return n.section;
    }
    return -1;
}

int IniDocument::findKey(int s, const QString &key) const
{
    const Section &sec = m_sections[size_t(s)];
    // A plain key is compared as bytes; anything else as the text it reads as.
    QByteArray plainKey;
    const bool keyIsPlain = plainBytesOf(key, &plainKey);
    for (int i = sec.header + 1; i < sec.end; ++i) {
        const QByteArrayView bytes = lineBytes(m_lines[size_t(i)]);
        const char *b = bytes.data(), *e = b + bytes.size();
        if (keyIsPlain && isPlain(b, e)) {
            const QByteArrayView t = trimmedBytes(b, e);
            if (t.isEmpty() || t[0] == ';')
                continue;
            const char *eq = findByte(b, e, '=');
            if (!eq)
                continue;
            const QByteArrayView name = trimmedBytes(b, eq);
            if (name.size() == plainKey.size() && qstrnicmp(name.data(), plainKey.constData(), name.size()) == 0)
                return i;
            continue;
        }
        const QString text = decodeIniLine(bytes);
        const IniLine shape = classifyIniLine(text);
        if (shape.kind != IniLine::Entry)
            continue;
        if (sameKey(shape.name, key))
            return i;
    }
    return -1;
}

int IniDocument::findPlainKey(int s, QByteArrayView key) const
{
    const Section &sec = m_sections[size_t(s)];
    const bool usual = hasUsualForm(key);
    for (int i = sec.header + 1; i < sec.end; ++i) {
        const QByteArrayView bytes = lineBytes(m_lines[size_t(i)]);
        if (usual && startsWithEntryOf(bytes, key))
            return i;
        // A line that begins with another letter names another key, whatever
        // follows: most lines of a section are passed over here.
        if (usual && !bytes.isEmpty() && !key.isEmpty() && isAsciiLetter(bytes[0])
            && asciiLower(bytes[0]) != asciiLower(key[0]))
            continue;
        const char *b = bytes.data(), *e = b + bytes.size();
        const char *eq = findByte(b, e, '=');
        // Only the part before the first '=' decides what the line is.
        if (!isPlain(b, eq ? eq : e))
            return -2;
        const QByteArrayView t = trimmedBytes(b, eq ? eq : e);
        if (!eq || (!t.isEmpty() && t[0] == ';'))
            continue;
        if (t.size() == key.size() && qstrnicmp(t.data(), key.data(), t.size()) == 0)
            return i;
    }
    return -1;
}

int IniDocument::numberedSectionsInARow(int limit) const
{
    int n = 0;
    while (n < limit && n < int(m_numbered.size()) && m_numbered[size_t(n)] >= 0)
        ++n;
    return n;
}

namespace {

bool sameText(const QString &text, QByteArrayView latin1)
{
    if (text.size() != latin1.size())
        return false;
    const QChar *t = text.constData();
    for (qsizetype i = 0; i < latin1.size(); ++i) {
        if (t[i].unicode() != static_cast<unsigned char>(latin1[i]))
            return false;
    }
    return true;
}

// The text of `likely` that reads `value`, looked for where the last one was
// found and one place either side (an add or a delete moves every name by
// one), or null.
const QString *sharedText(const QStringList &likely, qsizetype i, qsizetype *shift, QByteArrayView value)
{
    for (qsizetype step : {qsizetype(0), qsizetype(1), qsizetype(-1)}) {
        const qsizetype j = i + *shift + step;
        if (j >= 0 && j < likely.size() && sameText(likely[j], value)) {
            *shift += step;
            return &likely[j];
        }
    }
    return nullptr;
}

} // namespace

QStringList IniDocument::numberedValues(int count, const QString &key, const QStringList &likely) const
{
    const QString k = normalizedName(key);
    QByteArray plain;
    const bool keyIsPlain = plainBytesOf(k, &plain);
    QStringList out;
    out.reserve(count);
    qsizetype shift = 0;
    for (int i = 0; i < count; ++i) {
        const int s = i < int(m_numbered.size()) ? m_numbered[size_t(i)] : -1;
        int line = s < 0 ? -1 : keyIsPlain ? findPlainKey(s, plain) : -2;
        if (line == -2)
            line = findKey(s, k);
        if (line < 0) {
            out.append(QString());
            continue;
        }
        const QByteArrayView bytes = lineBytes(m_lines[size_t(line)]);
        const char *b = bytes.data(), *e = b + bytes.size();
        const char *eq = findByte(b, e, '=');
        if (eq && isPlain(eq + 1, e)) {
            // The common case, read without making the whole line text.
            QByteArrayView v = trimmedBytes(eq + 1, e);
            if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0])
                v = v.sliced(1, v.size() - 2);
            // Most values are as they were: share the text already made.
            const QString *known = sharedText(likely, i, &shift, v);
            out.append(known ? *known : QString::fromLatin1(v));
        } else {
            const QString text = lineText(line);
            out.append(unquoted(classifyIniLine(text).value));
        }
    }
    return out;
}

qsizetype IniDocument::numberedHeaderOffset(int n) const
{
    const int s = n >= 0 && n < int(m_numbered.size()) ? m_numbered[size_t(n)] : -1;
    return s < 0 ? -1 : m_lines[size_t(m_sections[size_t(s)].header)].offset;
}

bool IniDocument::hasSection(const QString &section) const
{
    return findSection(normalizedName(section)) >= 0;
}

QString IniDocument::rawValue(const QString &section, const QString &key) const
{
    const int s = findSection(normalizedName(section));
    const int k = s < 0 ? -1 : findKey(s, normalizedName(key));
    if (k < 0)
        return {};
    const QString text = lineText(k);
    return classifyIniLine(text).value.toString();
}

QString IniDocument::value(const QString &section, const QString &key) const
{
    const int s = findSection(normalizedName(section));
    const int k = s < 0 ? -1 : findKey(s, normalizedName(key));
    if (k < 0)
        return {};
    const QString text = lineText(k);
    return unquoted(classifyIniLine(text).value);
}

QList<QPair<QString, QString>> IniDocument::entries() const
{
    QList<QPair<QString, QString>> out;
    auto collect = [&](const QString &name, int s) {
        const Section &sec = m_sections[size_t(s)];
        QStringList keys;
        for (int i = sec.header + 1; i < sec.end; ++i) {
            const QString text = lineText(i);
            const IniLine shape = classifyIniLine(text);
            if (shape.kind != IniLine::Entry)
                continue;
            const QString key = normalizedName(shape.name.toString());
            if (findKey(s, key) == i)
                out.append({name, key});
        }
    };
    for (int n = 0; n < int(m_numbered.size()); ++n) {
        if (m_numbered[size_t(n)] >= 0)
            collect(QString::number(n), m_numbered[size_t(n)]);
    }
    for (const Named &n : m_named)
        collect(n.name, n.section);
    return out;
}
