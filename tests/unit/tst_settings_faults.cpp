#include "TempIni.h"
#include "settings/Settings.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <QtTest>

#include <cstdio>
#include <thread>
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
    // A text editor saves the file in place, without the lock.
    void aChangeWaitsForAnEditorStillWriting();
    void aChangeGivesUpOnAnEditorThatNeverStops();
};

namespace {

// An editor saving in place: it empties the file, then writes `text` a few
// bytes at a time, `gapMs` apart, for `passes` rounds.
std::thread editorSaving(const QString &path, const QByteArray &text, int gapMs, int passes = 1)
{
    return std::thread([path, text, gapMs, passes] {
        for (int pass = 0; pass < passes; ++pass) {
            const int fd = open(QFile::encodeName(path).constData(), O_WRONLY | O_TRUNC);
            for (qsizetype at = 0; fd >= 0 && at < text.size(); at += 13) {
                if (write(fd, text.constData() + at, size_t(qMin<qsizetype>(13, text.size() - at))) < 0)
                    break;
                QThread::msleep(gapMs);
            }
            close(fd);
        }
    });
}

QByteArray editorsText()
{
    QByteArray text = "[Settings]\r\nPopUp=Reject\r\n[Notes]\r\n";
    for (int i = 0; i < 30; ++i)
        text += "Line" + QByteArray::number(i) + "=written by the editor\r\n";
    return text;
}

} // namespace

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

// The change lands on the editor's finished file: none of its lines is lost
// and none is written back cut off.
void TestSettingsFaults::aChangeWaitsForAnEditorStillWriting()
{
    TempIni ini(kFile);
    const QByteArray text = editorsText();
    std::thread editor = editorSaving(ini.path, text, 10);
    QThread::msleep(60);
    QString error;
    const bool written = writeIniValue(QStringLiteral("Settings"), QStringLiteral("LastURL"),
                                       QStringLiteral("http://after.test/"), &error);
    editor.join();
    QVERIFY2(written, qPrintable(error));
    const QByteArray after = ini.bytes();
    QVERIFY2(after.startsWith(text.left(text.indexOf("[Notes]"))), after.constData());
    QVERIFY2(after.contains(text.mid(text.indexOf("[Notes]"))), after.constData());
    QVERIFY(after.contains("LastURL=http://after.test/\r\n"));
}

// A file that keeps changing is not replaced by a copy of one moment of it:
// the change is refused in words after a wait a user can bear.
void TestSettingsFaults::aChangeGivesUpOnAnEditorThatNeverStops()
{
    TempIni ini(kFile);
    std::thread editor = editorSaving(ini.path, editorsText(), 10, 4);
    QThread::msleep(60);
    QElapsedTimer waited;
    waited.start();
    QString error;
    const bool written = writeIniValue(QStringLiteral("Settings"), QStringLiteral("LastURL"),
                                       QStringLiteral("http://after.test/"), &error);
    const qint64 ms = waited.elapsed();
    editor.join();
    QVERIFY(!written);
    QVERIFY2(error.contains(QStringLiteral("still writing")) && error.contains(ini.path), qPrintable(error));
    QVERIFY2(ms >= 1500 && ms < 5000, qPrintable(QString::number(ms)));
    QCOMPARE(ini.bytes(), editorsText());
}

QTEST_GUILESS_MAIN(TestSettingsFaults)
#include "tst_settings_faults.moc"
