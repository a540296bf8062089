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

// Proportional set size of the process and all it started, in kB.
inline double treePssKb(qint64 pid)
{
    double kb = 0;
    for (qint64 p : processTree(pid)) {
        QFile f(QStringLiteral("/proc/%1/smaps_rollup").arg(p));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &line : f.readAll().split('\n')) {
            if (line.startsWith("Pss:"))
                kb += line.mid(4).trimmed().split(' ').first().toDouble();
        }
    }
    return kb;
}
