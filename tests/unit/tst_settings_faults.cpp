#include "TempIni.h"
#include "settings/Settings.h"

#include <QDir>
#include <QProcess>
#include <QtTest>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Captures what is written to stderr while it lives, with log messages
// printed as the program prints them rather than into the test's log.
class StderrCapture
{
public:
    StderrCapture()
    {
        m_handler = qInstallMessageHandler(nullptr);
        std::fflush(stderr);
        m_saved = dup(2);
        m_file = std::tmpfile();
        dup2(fileno(m_file), 2);
    }
    ~StderrCapture() { restore(); }
    QStringList lines()
    {
        restore();
        std::rewind(m_file);
        QByteArray all;
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, m_file)) > 0)
            all.append(buf, qsizetype(n));
        return QString::fromLocal8Bit(all).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

private:
    void restore()
    {
        if (m_saved >= 0) {
            std::fflush(stderr);
            dup2(m_saved, 2);
            close(m_saved);
            m_saved = -1;
            qInstallMessageHandler(m_handler);
        }
    }
    QtMessageHandler m_handler = nullptr;
    int m_saved = -1;
    FILE *m_file = nullptr;
};

const QByteArray kFile = "[Settings]\r\nPopUp=Accept\r\n";

// One write that must fail: the file keeps its bytes, one warning is printed.
void expectRefusedWrite(const TempIni &ini, const QByteArray &before)
{
    StderrCapture err;
    writeIniValue(QStringLiteral("Settings"), QStringLiteral("PopUp"), QStringLiteral("Reject"));
    const QStringList warnings = err.lines();
    QCOMPARE(warnings.size(), 1);
    QVERIFY(warnings.first().startsWith(QStringLiteral("kestrel.settings: settings not saved to ")));
    QCOMPARE(ini.bytes(), before);
    QCOMPARE(readIniValue(QStringLiteral("Settings"), QStringLiteral("PopUp")),
             before.isEmpty() ? QString() : QStringLiteral("Accept"));
}

} // namespace

// The settings file where writing cannot succeed: nothing crashes, nothing
// is left half-written, reads give what the file holds, and each failed
// write says so once.
class TestSettingsFaults : public QObject
{
    Q_OBJECT
private slots:
    void folderNotWritable();
    void fileReadOnly();
    void fileIsAFolder();
    void danglingLinkIsFollowed();
    void diskFull();
};

void TestSettingsFaults::folderNotWritable()
{
    TempIni ini(kFile);
    QFile::setPermissions(ini.dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    expectRefusedWrite(ini, kFile);
    QFile::setPermissions(ini.dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(QDir(ini.dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("INI.ini")});
}

void TestSettingsFaults::fileReadOnly()
{
    TempIni ini(kFile);
    QFile::setPermissions(ini.path, QFileDevice::ReadOwner);
    expectRefusedWrite(ini, kFile);
}

void TestSettingsFaults::fileIsAFolder()
{
    TempIni ini(QByteArray(), false);
    QVERIFY(QDir().mkpath(ini.path));
    expectRefusedWrite(ini, QByteArray());
    QVERIFY(QFileInfo(ini.path).isDir());
}

void TestSettingsFaults::danglingLinkIsFollowed()
{
    // A link the user made to keep the file elsewhere: the file is made
    // where it points, and the link stays a link.
    TempIni ini(QByteArray(), false);
    const QString target = ini.dir.path() + QStringLiteral("/elsewhere.ini");
    QVERIFY(QFile::link(target, ini.path));
    writeIniValue(QStringLiteral("Settings"), QStringLiteral("PopUp"), QStringLiteral("Reject"));
    QVERIFY(QFileInfo(ini.path).isSymLink());
    QCOMPARE(readIniValue(QStringLiteral("Settings"), QStringLiteral("PopUp")), QStringLiteral("Reject"));

    // A link into a folder that does not exist: refused, nothing created.
    TempIni broken(QByteArray(), false);
    QVERIFY(QFile::link(broken.dir.path() + QStringLiteral("/missing/INI.ini"), broken.path));
    expectRefusedWrite(broken, QByteArray());
}

void TestSettingsFaults::diskFull()
{
    QTemporaryDir mount;
    if (QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                                    QStringLiteral("size=64k"), QStringLiteral("tmpfs"), mount.path()})
        != 0)
        QSKIP("cannot mount a small tmpfs here");
    struct Unmount
    {
        QString path;
        ~Unmount() { QProcess::execute(QStringLiteral("umount"), {path}); }
    } unmount{mount.path()};

    const QString path = mount.path() + QStringLiteral("/INI.ini");
    qputenv("KESTREL_INI", QFile::encodeName(path));
    writeIniValue(QStringLiteral("Settings"), QStringLiteral("PopUp"), QStringLiteral("Accept"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();

    StderrCapture err;
    writeIniValue(QStringLiteral("0"), QStringLiteral("Name"), QString(50000, QLatin1Char('x')));
    writeIniValue(QStringLiteral("1"), QStringLiteral("Name"), QString(50000, QLatin1Char('y')));
    const QStringList warnings = err.lines();
    QCOMPARE(warnings.size(), 1); // the first fits, the second does not
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray after = f.readAll();
    QVERIFY(after.startsWith(before));
    QCOMPARE(readIniValue(QStringLiteral("0"), QStringLiteral("Name")).size(), 50000);
    QCOMPARE(readIniValue(QStringLiteral("1"), QStringLiteral("Name")), QString());
    QCOMPARE(QDir(mount.path()).entryList(QDir::Files), QStringList{QStringLiteral("INI.ini")});
    qunsetenv("KESTREL_INI");
}

QTEST_GUILESS_MAIN(TestSettingsFaults)
#include "tst_settings_faults.moc"
