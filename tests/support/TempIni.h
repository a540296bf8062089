#pragma once

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// A settings file in a fresh temporary folder, named to the program through
// KESTREL_INI for as long as the object lives.
class TempIni
{
public:
    explicit TempIni(const QByteArray &content = QByteArray(), bool create = true)
    {
        path = dir.path() + QStringLiteral("/INI.ini");
        if (create)
            write(content);
        qputenv("KESTREL_INI", QFile::encodeName(path));
    }
    ~TempIni() { qunsetenv("KESTREL_INI"); }

    void write(const QByteArray &content) const
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
    }
    QByteArray bytes() const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    QString path;
};
