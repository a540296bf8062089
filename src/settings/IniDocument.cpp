#include "IniDocument.h"

#include <algorithm>
#include <cstring>
#include <string.h>

namespace {

// Windows-1252 for 0x80..0x9F; the rest of the upper half matches Latin-1.
// Undefined positions map to the C1 control of the same number, as browsers do.
const char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr int kLargestNumber = 32767;

QString decodeCp1252(QByteArrayView bytes)
{
    QString out;
    out.resize(bytes.size());
    QChar *dst = out.data();
    for (char b : bytes) {
        const unsigned char c = static_cast<unsigned char>(b);
        *dst++ = (c >= 0x80 && c < 0xA0) ? QChar(kCp1252High[c - 0x80]) : QChar(c);
    }
    return out;
}

// Plain ASCII without NUL: such a line reads the same as bytes and as
// text, so it can be looked at without decoding it.
bool isPlain(const char *p, const char *end)
{
    for (; p < end; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c >= 0x80 || c == 0)
            return false;
    }
    return true;
}

bool isBlank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

QByteArrayView trimmedBytes(const char *b, const char *e)
{
    while (b < e && isBlank(*b))
        ++b;
    while (e > b && isBlank(e[-1]))
        --e;
    return QByteArrayView(b, e - b);
}

// "0".."32767" as the program writes favorite numbers, or -1.
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

const char *eolBytes(int eol)
{
    static const char *const s[] = {"", "\n", "\r", "\r\n"};
    return s[eol];
}

qsizetype eolLength(int eol)
{
    return eol == 3 ? 2 : eol == 0 ? 0 : 1;
}

// The line that starts at p: where its text ends, and the break that ends it
// (0 none, 1 LF, 2 CR, 3 CR LF, counted as IniDocument::Eol counts them).
struct LineBounds
{
    const char *end;
    int eol;
};

LineBounds lineAt(const char *p, const char *end)
{
    const char *lf = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
    const char *lineEnd = lf ? lf : end;
    if (const char *cr = static_cast<const char *>(std::memchr(p, '\r', size_t(lineEnd - p))))
        return {cr, cr + 1 == lf ? 3 : 2};
    return {lineEnd, lf ? 1 : 0};
}

} // namespace

QString decodeIniLine(QByteArrayView bytes)
{
    const char *p = bytes.data();
    if (isPlain(p, p + bytes.size()) || bytes.isEmpty())
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
    const char *p = base + doc.m_start;
    bool eolSeen = false;
    while (p < end) {
        const LineBounds line = lineAt(p, end);
        const char *const lineEnd = line.end;
        const Eol eol = Eol(line.eol);
        if (!eolSeen && eol != NoEol) {
            doc.m_eol = eol;
            eolSeen = true;
        }
        const int index = int(doc.m_lines.size());
        doc.m_lines.push_back(Line{p - base, lineEnd - p, -1, eol});

        // Only headers matter here; entries are looked at when asked for.
        const char *q = p;
        while (q < lineEnd && isBlank(*q))
            ++q;
        if (q < lineEnd && (*q == '[' || static_cast<unsigned char>(*q) >= 0x80)) {
            if (isPlain(q, lineEnd)) {
                const char *nameEnd = static_cast<const char *>(std::memchr(q, ']', size_t(lineEnd - q)));
                const QByteArrayView name = trimmedBytes(q + 1, nameEnd ? nameEnd : lineEnd);
                const int number = favoriteNumber(name);
                doc.addSection(index, number >= 0 ? QString() : QString::fromLatin1(name.data(), name.size()),
                               number);
            } else {
                const QString text = doc.lineText(index);
                const IniLine shape = classifyIniLine(text);
                if (shape.kind == IniLine::Header)
                    doc.addSection(index, normalizedName(shape.name.toString()), -1);
            }
        }
        p = lineEnd + eolLength(eol);
    }
    doc.m_sections.back().end = int(doc.m_lines.size());
    return doc;
}

QString IniDocument::valueIn(const QByteArray &bytes, const QString &sectionIn, const QString &keyIn)
{
    const QString section = normalizedName(sectionIn);
    const QString key = normalizedName(keyIn);
    const QByteArray plainKey = key.toLatin1();
    const bool keyIsPlain = plainKey.size() == key.size() && isPlain(plainKey.constData(), plainKey.constEnd());
    const int number = favoriteNumber(section);
    auto sameSection = [&](const QString &name) {
        return number >= 0 ? favoriteNumber(name) == number
                           : favoriteNumber(name) < 0 && name.compare(section, Qt::CaseInsensitive) == 0;
    };

    const char *const base = bytes.constData();
    const char *const end = base + bytes.size();
    const char *const start = base + (bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0);
    const char *p = start;
    bool inside = false;
    if (number >= 0) {
        // Every header holds a '[' and a favorite's header its digits after
        // it: jump from one '[' to the next and look closely only at lines
        // where the digits follow, or where a byte that is not plain might
        // hide them.
        const QByteArray digits = QByteArray::number(number);
        auto odd = [](char c) { return c == '\0' || static_cast<unsigned char>(c) >= 0x80; };
        for (;;) {
            const char *hit = static_cast<const char *>(std::memchr(p, '[', size_t(end - p)));
            if (!hit)
                return {};
            const char *d = hit + 1;
            while (d < end && (*d == ' ' || *d == '\t' || *d == '\v' || *d == '\f'))
                ++d;
            if (d < end && !odd(*d)) {
                const char *after = d + digits.size();
                if (end - d < digits.size() || std::memcmp(d, digits.constData(), size_t(digits.size())) != 0
                    || (after < end && !odd(*after) && !isBlank(*after) && *after != ']')) {
                    p = hit + 1;
                    continue;
                }
            }
            const char *ls = hit;
            while (ls > start && ls[-1] != '\n' && ls[-1] != '\r')
                --ls;
            const char *le = hit;
            while (le < end && *le != '\n' && *le != '\r')
                ++le;
            const char *q = trimmedBytes(ls, le).data();
            bool found = false;
            if (q < le && (*q == '[' || static_cast<unsigned char>(*q) >= 0x80)) {
                if (isPlain(q, le)) {
                    const char *nameEnd = static_cast<const char *>(std::memchr(q, ']', size_t(le - q)));
                    found = favoriteNumber(trimmedBytes(q + 1, nameEnd ? nameEnd : le)) == number;
                } else {
                    const IniLine shape = classifyIniLine(decodeIniLine(QByteArrayView(ls, le - ls)));
                    found = shape.kind == IniLine::Header
                        && favoriteNumber(normalizedName(shape.name.toString())) == number;
                }
            }
            p = le + (le + 1 < end && le[0] == '\r' && le[1] == '\n' ? 2 : le < end ? 1 : 0);
            if (found) {
                inside = true;
                break;
            }
            if (p >= end)
                return {};
        }
    }
    while (p < end) {
        if (!inside) {
            // Outside the section only headers matter, and every header
            // line holds a '[': jump from one to the next.
            const char *bracket = static_cast<const char *>(std::memchr(p, '[', size_t(end - p)));
            if (!bracket)
                return {};
            const char *b = bracket;
            while (b > p && (b[-1] == ' ' || b[-1] == '\t' || b[-1] == '\v' || b[-1] == '\f'))
                --b;
            if (b > p && static_cast<unsigned char>(b[-1]) < 0x80 && b[-1] != '\n' && b[-1] != '\r') {
                // Inside a line: no header. On to the next line.
                const char *stop = lineAt(bracket, end).end;
                if (stop == end)
                    return {};
                p = stop + 1;
                continue;
            }
            // The start of the line that holds it.
            while (b > p && b[-1] != '\n' && b[-1] != '\r')
                --b;
            p = b;
        }
        const LineBounds line = lineAt(p, end);
        const char *const lineEnd = line.end;
        const Eol eol = Eol(line.eol);
        const char *q = p;
        while (q < lineEnd && isBlank(*q))
            ++q;
        // Headers are found as fromBytes finds them.
        bool header = false;
        QString name;
        if (q < lineEnd && (*q == '[' || static_cast<unsigned char>(*q) >= 0x80)) {
            if (isPlain(q, lineEnd)) {
                const char *nameEnd = static_cast<const char *>(std::memchr(q, ']', size_t(lineEnd - q)));
                const QByteArrayView n = trimmedBytes(q + 1, nameEnd ? nameEnd : lineEnd);
                header = true;
                // A favorite's header is told without making text of it.
                const int other = favoriteNumber(n);
                if (other >= 0) {
                    if (inside)
                        return {};
                    inside = other == number;
                    p = lineEnd + eolLength(eol);
                    continue;
                }
                name = QString::fromLatin1(n.data(), n.size());
            } else {
                const QString text = decodeIniLine(QByteArrayView(p, lineEnd - p));
                const IniLine shape = classifyIniLine(text);
                header = shape.kind == IniLine::Header;
                name = normalizedName(shape.name.toString());
            }
        }
        if (header) {
            if (inside)
                return {}; // the first section of the name is the one read
            inside = sameSection(name);
        } else if (inside) {
            const QByteArrayView line(p, lineEnd - p);
            const char *eq = static_cast<const char *>(std::memchr(p, '=', size_t(lineEnd - p)));
            if (keyIsPlain && isPlain(p, eq ? eq : lineEnd)) {
                const QByteArrayView t = trimmedBytes(p, eq ? eq : lineEnd);
                if (eq && !(t.size() && t[0] == ';') && t.size() == plainKey.size()
                    && qstrnicmp(t.data(), plainKey.constData(), t.size()) == 0)
                    return unquoted(classifyIniLine(decodeIniLine(line)).value);
            } else {
                const QString text = decodeIniLine(line);
                const IniLine shape = classifyIniLine(text);
                if (shape.kind == IniLine::Entry
                    && (shape.name.compare(key, Qt::CaseInsensitive) == 0
                        || (shape.name.contains(QChar(0))
                            && normalizedName(shape.name.toString()).compare(key, Qt::CaseInsensitive) == 0)))
                    return unquoted(shape.value);
            }
        }
        p = lineEnd + eolLength(eol);
    }
    return {};
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

QByteArrayView IniDocument::lineBytes(const Line &l) const
{
    if (l.owned >= 0)
        return QByteArrayView(m_written.constData() + l.offset, l.length);
    return QByteArrayView(m_bytes.constData() + l.offset, l.length);
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
    bool keyIsPlain = true;
    for (QChar c : key) {
        if (c.unicode() == 0 || c.unicode() > 0x7F) {
            keyIsPlain = false;
            break;
        }
    }
    if (keyIsPlain)
        plainKey = key.toLatin1();
    for (int i = sec.header + 1; i < sec.end; ++i) {
        const QByteArrayView bytes = lineBytes(m_lines[size_t(i)]);
        const char *b = bytes.data(), *e = b + bytes.size();
        if (keyIsPlain && isPlain(b, e)) {
            const QByteArrayView t = trimmedBytes(b, e);
            if (t.isEmpty() || t[0] == ';')
                continue;
            const char *eq = static_cast<const char *>(std::memchr(b, '=', size_t(e - b)));
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
        // As a write stores it: a NUL inside a stored name counts as a blank.
        if (shape.name.compare(key, Qt::CaseInsensitive) == 0
            || (shape.name.contains(QChar(0))
                && normalizedName(shape.name.toString()).compare(key, Qt::CaseInsensitive) == 0))
            return i;
    }
    return -1;
}

int IniDocument::findPlainKey(int s, QByteArrayView key) const
{
    const Section &sec = m_sections[size_t(s)];
    for (int i = sec.header + 1; i < sec.end; ++i) {
        const QByteArrayView bytes = lineBytes(m_lines[size_t(i)]);
        const char *b = bytes.data(), *e = b + bytes.size();
        const char *eq = static_cast<const char *>(std::memchr(b, '=', size_t(e - b)));
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

QStringList IniDocument::numberedValues(int count, const QString &key, const QStringList &likely) const
{
    const QString k = normalizedName(key);
    const QByteArray plain = k.toLatin1();
    const bool keyIsPlain = isPlain(plain.constData(), plain.constData() + plain.size()) && plain.size() == k.size();
    QStringList out;
    out.reserve(count);
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
        const char *eq = static_cast<const char *>(std::memchr(b, '=', size_t(e - b)));
        if (eq && isPlain(eq + 1, e)) {
            // The common case, read without making the whole line text.
            QByteArrayView v = trimmedBytes(eq + 1, e);
            if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0])
                v = v.sliced(1, v.size() - 2);
            // Most values are as they were: share the text already made.
            if (i < likely.size() && likely[i] == QLatin1StringView(v))
                out.append(likely[i]);
            else
                out.append(QString::fromLatin1(v));
        } else {
            out.append(unquoted(classifyIniLine(lineText(line)).value));
        }
    }
    return out;
}

qsizetype IniDocument::numberedHeaderOffset(int n) const
{
    const int s = n >= 0 && n < int(m_numbered.size()) ? m_numbered[size_t(n)] : -1;
    return s < 0 ? -1 : m_lines[size_t(m_sections[size_t(s)].header)].offset;
}

void IniDocument::copyValue(const QString &fromSection, const QString &toSection, const QString &key)
{
    // Fast when both lines are plain up to their '=' and the value holds no
    // NUL: the value's bytes move as they are, so they read as before.
    const int from = findSection(normalizedName(fromSection));
    const int to = findSection(normalizedName(toSection));
    const QString k = normalizedName(key);
    const QByteArray plain = k.toLatin1();
    if (from >= 0 && to >= 0 && isPlain(plain.constData(), plain.constData() + plain.size())
        && plain.size() == k.size()) {
        const int fl = findPlainKey(from, plain);
        const int tl = findPlainKey(to, plain);
        if (fl >= 0 && tl >= 0) {
            const QByteArrayView fb = lineBytes(m_lines[size_t(fl)]);
            const QByteArrayView tb = lineBytes(m_lines[size_t(tl)]);
            const qsizetype feq = fb.indexOf('='), teq = tb.indexOf('=');
            const QByteArrayView value = fb.sliced(feq + 1);
            if (value.indexOf('\0') < 0) {
                m_lines[size_t(tl)] = writtenLine(trimmedBytes(tb.data(), tb.data() + teq), '=', value,
                                                  m_lines[size_t(tl)].eol);
                return;
            }
        }
    }
    setValue(toSection, key, rawValue(fromSection, key));
}

void IniDocument::shiftNumberedDown(int first, int last, const QStringList &keys)
{
    std::vector<QByteArray> plain;
    bool keysPlain = true;
    for (const QString &k : keys) {
        plain.push_back(normalizedName(k).toLatin1());
        keysPlain = keysPlain && isPlain(plain.back().constData(), plain.back().constEnd())
            && plain.back().size() == normalizedName(k).size();
    }
    auto sectionOf = [this](int j) { return j >= 0 && j < int(m_numbered.size()) ? m_numbered[size_t(j)] : -1; };
    // The key lines of the section a value is taken from become, one step
    // later, the lines it is written to: each section is searched once.
    std::vector<int> toLines(plain.size()), fromLines(plain.size());
    for (size_t k = 0; k < plain.size(); ++k) {
        const int to = sectionOf(first);
        toLines[k] = to < 0 || !keysPlain ? -2 : findPlainKey(to, plain[k]);
    }
    // A value moved the slow way may add a line and shift the lines below:
    // from then on nothing found before is trusted.
    bool stale = false;
    for (int j = first; j < last; ++j) {
        const int from = sectionOf(j + 1);
        const int to = sectionOf(j);
        for (size_t k = 0; k < plain.size(); ++k) {
            const int fl = from < 0 || !keysPlain ? -2 : findPlainKey(from, plain[k]);
            const int tl = !stale ? toLines[k] : to < 0 || !keysPlain ? -2 : findPlainKey(to, plain[k]);
            fromLines[k] = fl;
            QByteArrayView value;
            if (fl >= 0 && tl >= 0) {
                const QByteArrayView fb = lineBytes(m_lines[size_t(fl)]);
                value = fb.sliced(fb.indexOf('=') + 1);
            }
            if (fl < 0 || tl < 0 || value.indexOf('\0') >= 0) {
                copyValue(QString::number(j + 1), QString::number(j), keys[int(k)]);
                stale = true;
                continue;
            }
            const Line &f = m_lines[size_t(fl)];
            Line &t = m_lines[size_t(tl)];
            const QByteArrayView tb = lineBytes(t);
            const QByteArrayView key = trimmedBytes(tb.data(), tb.data() + tb.indexOf('='));
            const QByteArrayView fb = lineBytes(f);
            if (f.eol == t.eol && fb.size() - value.size() - 1 == key.size() && fb.startsWith(key)) {
                // The same line but for the value: it is used where it lies,
                // so that a whole run of moved lines is copied in one piece.
                t = f;
            } else {
                t = writtenLine(key, '=', value, t.eol);
            }
        }
        std::swap(toLines, fromLines);
    }
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

IniDocument::Line IniDocument::ownedLine(const QString &text, Eol eol)
{
    return writtenLine(text.toUtf8(), '\0', {}, eol);
}

IniDocument::Line IniDocument::writtenLine(QByteArrayView head, char sep, QByteArrayView tail, Eol eol)
{
    const qsizetype length = head.size() + (sep ? 1 : 0) + tail.size();
    // The parts may lie in m_written itself; growing it would move them.
    if (m_written.capacity() - m_written.size() < length) {
        const QByteArray h = head.toByteArray(), t = tail.toByteArray();
        m_written.reserve((m_written.size() + length) * 2);
        return writtenLine(h, sep, t, eol);
    }
    const qsizetype offset = m_written.size();
    m_written.append(head.data(), head.size());
    if (sep)
        m_written.append(sep);
    m_written.append(tail.data(), tail.size());
    return Line{offset, length, 0, eol};
}

void IniDocument::insertLine(int at, Line line)
{
    m_lines.insert(m_lines.begin() + at, line);
    for (Section &s : m_sections) {
        if (s.header >= at) {
            ++s.header;
            ++s.end;
        } else if (s.end >= at) {
            ++s.end;
        }
    }
}

void IniDocument::setValue(const QString &sectionIn, const QString &keyIn, const QString &valueIn)
{
    const QString section = normalizedName(sectionIn);
    const QString key = normalizedName(keyIn);
    const QString entry = key + QLatin1Char('=') + sanitized(valueIn);
    if (m_numbered.empty())
        m_numbered.assign(kLargestNumber + 1, -1);
    if (m_sections.empty())
        m_sections.push_back(Section{-1, 0});

    // A line that gets a successor needs a terminator of its own.
    auto terminate = [this](int line) {
        Line &l = m_lines[size_t(line)];
        if (l.eol == NoEol) {
            l = writtenLine(lineBytes(l), '\0', {}, m_eol);
        }
    };

    const int s = findSection(section);
    if (s < 0) {
        if (!m_lines.empty())
            terminate(int(m_lines.size() - 1));
        const int header = int(m_lines.size());
        m_lines.push_back(ownedLine(QLatin1Char('[') + section + QLatin1Char(']'), m_eol));
        m_lines.push_back(ownedLine(entry, m_eol));
        addSection(header, section, -1);
        m_sections.back().end = header + 2;
        return;
    }

    const int k = findKey(s, key);
    if (k >= 0) {
        // The line keeps its terminator, or its lack of one.
        const QString text = lineText(k);
        const IniLine shape = classifyIniLine(text);
        m_lines[size_t(k)] = ownedLine(shape.name.toString() + QLatin1Char('=') + sanitized(valueIn), m_lines[size_t(k)].eol);
        return;
    }

    // Right after the section's last entry (or its header), so comments and
    // blank lines that close the section stay where they are.
    const Section &sec = m_sections[size_t(s)];
    int pos = sec.header + 1;
    for (int i = sec.header + 1; i < sec.end; ++i) {
        const QString text = lineText(i);
        if (classifyIniLine(text).kind == IniLine::Entry)
            pos = i + 1;
    }
    terminate(pos - 1);
    insertLine(pos, ownedLine(entry, m_eol));
}

QByteArray IniDocument::toBytes() const
{
    QByteArray out;
    qsizetype extra = 0;
    extra = m_written.size() + 2 * qsizetype(m_lines.size());
    out.reserve(m_bytes.size() + extra);
    out.append(m_bytes.constData(), m_start);
    // Untouched lines lie side by side in the original: copy them in runs.
    qsizetype runStart = 0, runEnd = -1;
    auto flush = [&] {
        if (runEnd > runStart)
            out.append(m_bytes.constData() + runStart, runEnd - runStart);
        runEnd = -1;
    };
    for (const Line &l : m_lines) {
        if (l.owned < 0) {
            const qsizetype e = l.offset + l.length + eolLength(l.eol);
            if (l.offset != runEnd) {
                flush();
                runStart = l.offset;
            }
            runEnd = e;
        } else {
            flush();
            out.append(m_written.constData() + l.offset, l.length);
            out.append(eolBytes(l.eol));
        }
    }
    flush();
    return out;
}
