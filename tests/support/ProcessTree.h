#pragma once

#include <QDir>
#include <QFile>
#include <QList>

// The process and every process it started. Any thread may have started a
// child, so every thread's list is read.
inline QList<qint64> processTree(qint64 pid)
{
    QList<qint64> out{pid};
    for (int i = 0; i < out.size(); ++i) {
        const QString tasks = QStringLiteral("/proc/%1/task").arg(out[i]);
        for (const QString &tid : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile children(tasks + QLatin1Char('/') + tid + QStringLiteral("/children"));
            if (!children.open(QIODevice::ReadOnly))
                continue;
            for (const QByteArray &c : children.readAll().split(' ')) {
                if (!c.trimmed().isEmpty())
                    out << c.trimmed().toLongLong();
            }
        }
    }
    return out;
}

// One of the kernel's memory figures of one process (as "Pss:" or
// "Pss_Anon:"), in kB.
inline double processMemoryKb(qint64 pid, const QByteArray &field = "Pss:")
{
    QFile f(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ').first().toDouble();
    }
    return 0;
}

// Proportional set size of the process and all it started, in kB; with
// "Pss_Anon:", only what they allocated, which the libraries other programs
// share with them leave out.
inline double treePssKb(qint64 pid, const QByteArray &field = "Pss:")
{
    double kb = 0;
    for (qint64 p : processTree(pid))
        kb += processMemoryKb(p, field);
    return kb;
}
