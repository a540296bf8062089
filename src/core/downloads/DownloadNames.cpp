#include "DownloadNames.h"

#include <QDir>

namespace {

// An ending this long, or with a space, is part of the name, not a type
// the desktop opens files by.
constexpr int kLongestExtension = 16;
// Numbers tried for one name before the download is refused.
constexpr int kMostNumbers = 1000;

QString fallbackName()
{
    return QStringLiteral("download");
}

bool isBreak(char32_t c)
{
    return c == U'\t' || c == U'\n' || c == U'\v' || c == U'\f' || c == U'\r' || c == 0x85 || c == 0x2028
           || c == 0x2029;
}

// Characters that change how the rest of the name reads (direction marks and
// overrides, zero-width joiners) or that nobody can see or type.
bool isHidden(char32_t c)
{
    switch (QChar::category(c)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return QChar::isNonCharacter(c);
    }
}

bool isTrimmed(QChar c)
{
    return c == QLatin1Char('.') || c.isSpace();
}

QString trimmed(QString name)
{
    qsizetype from = 0;
    while (from < name.size() && isTrimmed(name.at(from)))
        ++from;
    qsizetype to = name.size();
    while (to > from && isTrimmed(name.at(to - 1)))
        --to;
    return name.mid(from, to - from);
}

int utf8Bytes(char32_t c)
{
    return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
}

// The longest start of `text` that fits `maxBytes` of UTF-8, whole characters only.
QString cut(const QString &text, int maxBytes)
{
    int bytes = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        const char32_t c = pair ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1)) : text.at(i).unicode();
        bytes += utf8Bytes(c);
        if (bytes > maxBytes)
            break;
        i += pair ? 2 : 1;
    }
    return text.left(i);
}

// Where the extension starts ("name.pdf", "name.tar.gz"), or the size when there is none.
qsizetype extensionStart(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0 || name.size() - dot > kLongestExtension || name.indexOf(QLatin1Char(' '), dot) >= 0)
        return name.size();
    const QLatin1String tar(".tar");
    if (dot > tar.size() && name.left(dot).endsWith(tar, Qt::CaseInsensitive))
        return dot - tar.size();
    return dot;
}

} // namespace

QString DownloadName::clean(const QString &suggested, int maxBytes)
{
    QString name;
    name.reserve(suggested.size());
    auto append = [&name](char32_t c) {
        if (QChar::isSpace(c) && (name.isEmpty() || name.back().isSpace()))
            return;
        name += QStringView(QChar::fromUcs4(c));
    };
    for (qsizetype i = 0; i < suggested.size(); ++i) {
        char32_t c = suggested.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < suggested.size() && suggested.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(suggested.at(i), suggested.at(i + 1));
            ++i;
        }
        if (isBreak(c))
            append(U' ');
        else if (c == U'/' || c == U'\\')
            append(U'_');
        else if (!isHidden(c))
            append(c);
    }
    name = trimmed(name);
    return name.isEmpty() ? fallbackName() : numbered(name, 0, maxBytes);
}

QString DownloadName::numbered(const QString &name, int n, int maxBytes)
{
    const QString number = n > 0 ? QStringLiteral(" (%1)").arg(n) : QString();
    qsizetype start = extensionStart(name);
    // An extension that leaves no room for a name is cut with it.
    if (name.size() - start + number.size() > maxBytes / 2)
        start = name.size();
    const QString extension = name.mid(start);
    const int room = maxBytes - int(extension.toUtf8().size() + number.size());
    QString stem = name.left(start);
    if (stem.toUtf8().size() > room)
        stem = trimmed(cut(stem, room));
    if (stem.isEmpty())
        stem = fallbackName();
    return stem + number + extension;
}

DownloadNames::DownloadNames(std::function<bool(const QString &)> exists, QString partialSuffix)
    : m_exists(std::move(exists))
    , m_partialSuffix(std::move(partialSuffix))
{
}

QString DownloadNames::reserve(const QString &folder, const QString &name, int maxBytes)
{
    const QDir dir(folder);
    for (int n = 0; n < kMostNumbers; ++n) {
        const QString path = dir.filePath(DownloadName::numbered(name, n, maxBytes));
        if (!taken(path)) {
            m_reserved.insert(path);
            m_reserved.insert(path + m_partialSuffix);
            return path;
        }
    }
    return QString();
}

void DownloadNames::release(const QString &path)
{
    m_reserved.remove(path);
    m_reserved.remove(path + m_partialSuffix);
}

bool DownloadNames::taken(const QString &path) const
{
    const QString partial = path + m_partialSuffix;
    return m_reserved.contains(path) || m_reserved.contains(partial) || m_exists(path) || m_exists(partial);
}
