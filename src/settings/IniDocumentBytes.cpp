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
        if (l.owned < 0) {
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
    QByteArray out;
    out.reserve(m_bytes.size() + m_written.size() + 2 * qsizetype(m_lines.size()));
    forEachRun([&](QByteArrayView run) {
        out.append(run.data(), run.size());
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
    QByteArray block;
    block.reserve(kBlock);
    auto drain = [&] {
        const bool ok = block.isEmpty() || device->write(block) == block.size();
        block.resize(0);
        return ok;
    };
    const bool ok = forEachRun([&](QByteArrayView run) {
        if (block.size() + run.size() > kBlock && !drain())
            return false;
        if (run.size() >= kBlock)
            return device->write(run.data(), run.size()) == run.size();
        block.append(run.data(), run.size());
        return true;
    });
    return ok && drain();
}
