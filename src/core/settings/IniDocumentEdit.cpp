// Changing the document: every line it did not change keeps its bytes.
#include "IniDocument.h"
#include "IniLineScanner.h"

using namespace ini_detail;

namespace {
// What follows the first '=' of an entry line.
QByteArrayView valueOf(QByteArrayView entry)
{
    const char *eq = findByte(entry.data(), entry.data() + entry.size(), '=');
    return QByteArrayView(eq + 1, entry.data() + entry.size() - (eq + 1));
}
} // namespace

void IniDocument::copyValue(const QString &fromSection, const QString &toSection, const QString &key)
{
    // Fast when both lines are plain up to their '=' and the value holds no
    // NUL: the value's bytes move as they are, so they read as before.
    const int from = findSection(normalizedName(fromSection));
    const int to = findSection(normalizedName(toSection));
    const QString k = normalizedName(key);
    QByteArray plain;
    if (from >= 0 && to >= 0 && plainBytesOf(k, &plain)) {
        const int fl = findPlainKey(from, plain);
        const int tl = findPlainKey(to, plain);
        if (fl >= 0 && tl >= 0) {
            const QByteArrayView fb = lineBytes(m_lines[size_t(fl)]);
            const QByteArrayView tb = lineBytes(m_lines[size_t(tl)]);
            const char *teq = findByte(tb.data(), tb.data() + tb.size(), '=');
            const QByteArrayView value = valueOf(fb);
            if (!findByte(value.data(), value.data() + value.size(), '\0')) {
                m_lines[size_t(tl)] = writtenLine(trimmedBytes(tb.data(), teq), '=', value,
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
        plain.emplace_back();
        keysPlain = plainBytesOf(normalizedName(k), &plain.back()) && keysPlain;
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
                value = valueOf(fb);
            }
            if (fl < 0 || tl < 0 || findByte(value.data(), value.data() + value.size(), '\0')) {
                copyValue(QString::number(j + 1), QString::number(j), keys[int(k)]);
                stale = true;
                continue;
            }
            const Line &f = m_lines[size_t(fl)];
            Line &t = m_lines[size_t(tl)];
            const QByteArrayView tb = lineBytes(t);
            const QByteArrayView key = trimmedBytes(tb.data(), findByte(tb.data(), tb.data() + tb.size(), '='));
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
    return Line(offset, length, true, eol);
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
