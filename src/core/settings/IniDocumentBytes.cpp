// The document as bytes again: whole, streamed to a file, or compared.
#include "IniDocument.h"
#include "IniLineScanner.h"

#include <QIODevice>

#include <cstring>

using namespace ini_detail;

template <typename Sink>
bool IniDocument::forEachRun(Sink &&sink) const
{
    if (m_start > 0 && !sink(QByteArrayView(m_bytes.constData(), m_start)))
        return false;
    // Untouched lines lie side by side in the original: handed on in runs.
    qsizetype runStart = 0, runEnd = -1;
    auto flush = [&] {
        const bool ok = runEnd <= runStart || sink(QByteArrayView(m_bytes.constData() + runStart, runEnd - runStart));
        runEnd = -1;
        return ok;
    };
    for (const Line &l : m_lines) {
        if (!l.owned) {
            if (l.offset != runEnd) {
                if (!flush())
                    return false;
                runStart = l.offset;
            }
            runEnd = l.offset + l.length + lineEndLength(l.eol);
        } else if (!flush() || !sink(QByteArrayView(m_written.constData() + l.offset, l.length))
                   || !sink(QByteArrayView(lineEndBytes(l.eol)))) {
            return false;
        }
    }
    return flush();
}

QByteArray IniDocument::toBytes() const
{
    // Sized first and filled by plain copies: appending run by run costs
    // more than the copying itself when a delete leaves many short runs.
    qsizetype size = 0;
    forEachRun([&](QByteArrayView run) {
        size += run.size();
        return true;
    });
    QByteArray out(size, Qt::Uninitialized);
    char *to = out.data();
    forEachRun([&](QByteArrayView run) {
        std::memcpy(to, run.data(), size_t(run.size()));
        to += run.size();
        return true;
    });
    return out;
}

bool IniDocument::hasBytes(const QByteArray &bytes) const
{
    qsizetype at = 0;
    const bool same = forEachRun([&](QByteArrayView run) {
        if (run.size() > bytes.size() - at || std::memcmp(bytes.constData() + at, run.data(), size_t(run.size())) != 0)
            return false;
        at += run.size();
        return true;
    });
    return same && at == bytes.size();
}

bool IniDocument::writeTo(QIODevice *device) const
{
    // Small runs (a delete leaves one every few lines) are gathered into
    // blocks first: a write per run would cost more than the copy it saves.
    constexpr qsizetype kBlock = 64 * 1024;
    QByteArray block(kBlock, Qt::Uninitialized);
    qsizetype used = 0;
    auto drain = [&] {
        const bool ok = used == 0 || device->write(block.constData(), used) == used;
        used = 0;
        return ok;
    };
    const bool ok = forEachRun([&](QByteArrayView run) {
        if (used + run.size() > kBlock && !drain())
            return false;
        if (run.size() >= kBlock)
            return device->write(run.data(), run.size()) == run.size();
        std::memcpy(block.data() + used, run.data(), size_t(run.size()));
        used += run.size();
        return true;
    });
    return ok && drain();
}
