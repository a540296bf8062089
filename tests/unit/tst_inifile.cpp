#include "TempIni.h"
#include "settings/IniDocument.h"
#include "settings/Settings.h"

#include <QDir>
#include <QRandomGenerator>
#include <QtTest>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

class TestIniFile : public QObject
{
    Q_OBJECT
private slots:
    void readsLikeTheClassicReader_data();
    void readsLikeTheClassicReader();
    void writesKeepEveryOtherByte_data();
    void writesKeepEveryOtherByte();
    void lineBreaksInTextCannotMakeEntries();
    void legacyAnsiFileIsReadAndTitlesInAnyScriptSurvive();
    void longValuesReadBackWhole();
    void missingFileReadsEmptyAndFirstWriteCreatesIt();
    void batchedWritesAreOneReplacement();
    void failedWriteKeepsTheOldFileAndWarns();
    void readOnlyProgramFolderUsesPerUserCopy();
    void killedWriterNeverLeavesATornFile();
};

void TestIniFile::readsLikeTheClassicReader_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    const QByteArray f = "[Settings]\r\nStartUp=Home\r\n  DoStartup  =  False  \r\nq1=\"quoted\"\r\n"
                         "q2='single'\r\nq3=\"unmatched'\r\nq4=\"\r\nempty=\r\nnoequals\r\n"
                         "[settings]\r\nStartUp=Shadowed\r\n[Other]\r\nStartUp=Blank\r\n";
    QTest::newRow("key case ignored") << f << "Settings" << "Startup" << "Home";
    QTest::newRow("section case ignored") << f << "SETTINGS" << "startup" << "Home";
    QTest::newRow("blanks dropped") << f << "Settings" << "DoStartup" << "False";
    QTest::newRow("double quotes dropped") << f << "Settings" << "q1" << "quoted";
    QTest::newRow("single quotes dropped") << f << "Settings" << "q2" << "single";
    QTest::newRow("unmatched quotes kept") << f << "Settings" << "q3" << "\"unmatched'";
    QTest::newRow("lone quote kept") << f << "Settings" << "q4" << "\"";
    QTest::newRow("empty value") << f << "Settings" << "empty" << "";
    QTest::newRow("missing key") << f << "Settings" << "PopUp" << "";
    QTest::newRow("missing section") << f << "Nowhere" << "StartUp" << "";
    QTest::newRow("first section of a name wins") << f << "settings" << "StartUp" << "Home";
    QTest::newRow("other section") << f << "Other" << "StartUp" << "Blank";
    QTest::newRow("LF only file") << QByteArray("[a]\nk=v\n") << "a" << "k" << "v";
    QTest::newRow("no final line break") << QByteArray("[a]\r\nk=v") << "a" << "k" << "v";
    QTest::newRow("entry before any section is no entry") << QByteArray("k=v\r\n[a]\r\n") << "a" << "k" << "";
    QTest::newRow("equals inside value") << QByteArray("[a]\r\nk=x=y\r\n") << "a" << "k" << "x=y";
    QTest::newRow("key beyond Latin-1 is not a question mark") << QByteArray("[a]\r\n?=v\r\n") << "a" << "\u0109" << "";
}

void TestIniFile::readsLikeTheClassicReader()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    // The document and the single-value reader must agree.
    QCOMPARE(IniDocument::fromBytes(file).value(section, key), expected);
    TempIni ini(file);
    QCOMPARE(readIniValue(section, key), expected);
}

void TestIniFile::writesKeepEveryOtherByte_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    const QByteArray f = "; kept comment\r\n[Settings]\r\n  StartUp = Home  \r\nPopUp=Accept\r\n\r\n[Favorites]\r\nNumber=0\r\n";
    QTest::newRow("replace where it stands, other case")
        << f << "settings" << "Startup" << "Blank"
        << QByteArray("; kept comment\r\n[Settings]\r\nStartUp=Blank\r\nPopUp=Accept\r\n\r\n[Favorites]\r\nNumber=0\r\n");
    QTest::newRow("missing key after the section's last entry")
        << f << "Settings" << "ConfirmExit" << "True"
        << QByteArray("; kept comment\r\n[Settings]\r\n  StartUp = Home  \r\nPopUp=Accept\r\nConfirmExit=True\r\n\r\n"
                      "[Favorites]\r\nNumber=0\r\n");
    QTest::newRow("missing section at the end")
        << f << "0" << "Name" << "News"
        << QByteArray(f + "[0]\r\nName=News\r\n");
    QTest::newRow("unterminated last line gets its break")
        << QByteArray("[a]\r\nk=v") << "b" << "k" << "w" << QByteArray("[a]\r\nk=v\r\n[b]\r\nk=w\r\n");
    QTest::newRow("LF file keeps its LF lines")
        << QByteArray("[a]\nk=v\nz=1\n") << "a" << "k" << "x" << QByteArray("[a]\nk=x\nz=1\n");
    QTest::newRow("LF file gets LF lines")
        << QByteArray("[a]\nk=v\n") << "b" << "k" << "w" << QByteArray("[a]\nk=v\n[b]\nk=w\n");
    QTest::newRow("LF file gets an LF key")
        << QByteArray("[a]\nk=v\n[b]\n") << "a" << "n" << "1" << QByteArray("[a]\nk=v\nn=1\n[b]\n");
    QTest::newRow("new key before the comments that close a section")
        << QByteArray("[a]\r\nk=v\r\n; about b\r\n\r\n[b]\r\n") << "a" << "n" << "1"
        << QByteArray("[a]\r\nk=v\r\nn=1\r\n; about b\r\n\r\n[b]\r\n");
    QTest::newRow("replaced last line keeps having no line end")
        << QByteArray("[a]\r\nk=v") << "a" << "k" << "w" << QByteArray("[a]\r\nk=w");
    QTest::newRow("a comment is no key")
        << QByteArray("[a]\r\n ;k=old\r\n") << "a" << "k" << "new" << QByteArray("[a]\r\nk=new\r\n ;k=old\r\n");
    QTest::newRow("8-bit line kept as it was, others read as UTF-8")
        << QByteArray("[a]\r\nold=Caf\xE9\r\nk=v\r\n") << "a" << "k" << "Caf\u00e9"
        << QByteArray("[a]\r\nold=Caf\xE9\r\nk=Caf\xC3\xA9\r\n");
    QTest::newRow("UTF-8 byte order mark kept")
        << QByteArray("\xEF\xBB\xBF[a]\r\nk=v\r\n") << "a" << "k" << "x" << QByteArray("\xEF\xBB\xBF[a]\r\nk=x\r\n");
}

void TestIniFile::writesKeepEveryOtherByte()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    TempIni ini(before);
    writeIniValue(section, key, value);
    QCOMPARE(ini.bytes(), after);
    QCOMPARE(readIniValue(section, key), value);
}

void TestIniFile::lineBreaksInTextCannotMakeEntries()
{
    TempIni ini("[Favorites]\r\nNumber=0\r\n");
    writeIniValue(QStringLiteral("0"), QStringLiteral("Name"), QStringLiteral("evil\r\n[Settings]\r\nPopUp=Reject\n\0x"));
    writeIniValue(QStringLiteral("bad\nsection"), QStringLiteral("k\rey"), QStringLiteral("v"));
    QCOMPARE(readIniValue(QStringLiteral("Settings"), QStringLiteral("PopUp")), QString());
    const IniDocument doc = IniDocument::fromBytes(ini.bytes());
    QVERIFY(doc.value(QStringLiteral("0"), QStringLiteral("Name")).startsWith(QStringLiteral("evil  [Settings]  PopUp=Reject")));
    QCOMPARE(doc.value(QStringLiteral("bad section"), QStringLiteral("k ey")), QStringLiteral("v"));
    QCOMPARE(ini.bytes().count('\n'), 6);
    // A name is read back the way it was written.
    QCOMPARE(readIniValue(QStringLiteral("bad\nsection"), QStringLiteral("k\rey")), QStringLiteral("v"));
    QCOMPARE(doc.value(QStringLiteral(" bad\nsection "), QStringLiteral("k\rey")), QStringLiteral("v"));
}

void TestIniFile::legacyAnsiFileIsReadAndTitlesInAnyScriptSurvive()
{
    // "Café – Ünïcode" in Windows-1252: é=E9, en dash=96, Ü=DC, ï=EF.
    TempIni ini("[0]\r\nName=Caf\xE9 \x96 \xDCn\xEF" "code\r\n");
    QCOMPARE(readIniValue(QStringLiteral("0"), QStringLiteral("Name")), QString::fromUtf8("Café – Ünïcode"));

    const QString title = QString::fromUtf8("Новости · 東京 · ニュース · 🦅");
    writeIniValue(QStringLiteral("1"), QStringLiteral("Name"), title);
    QCOMPARE(readIniValue(QStringLiteral("1"), QStringLiteral("Name")), title);
    // The legacy line is kept as it was and still reads the same.
    QCOMPARE(readIniValue(QStringLiteral("0"), QStringLiteral("Name")), QString::fromUtf8("Café – Ünïcode"));
    QVERIFY(ini.bytes().startsWith("[0]\r\nName=Caf\xE9 \x96 \xDCn\xEF" "code\r\n"));
}

void TestIniFile::longValuesReadBackWhole()
{
    TempIni ini;
    const QString url = QStringLiteral("http://127.0.0.1/") + QString(3000, QLatin1Char('a'));
    writeIniValue(QStringLiteral("0"), QStringLiteral("URL"), url);
    QCOMPARE(readIniValue(QStringLiteral("0"), QStringLiteral("URL")), url);
}

void TestIniFile::missingFileReadsEmptyAndFirstWriteCreatesIt()
{
    TempIni ini(QByteArray(), false);
    QCOMPARE(readIniValue(QStringLiteral("Settings"), QStringLiteral("Startup")), QString());
    QVERIFY(!QFile::exists(ini.path));
    writeIniValue(QStringLiteral("Settings"), QStringLiteral("DoStartup"), QStringLiteral("False"));
    QCOMPARE(ini.bytes(), QByteArray("[Settings]\r\nDoStartup=False\r\n"));
}

void TestIniFile::batchedWritesAreOneReplacement()
{
    TempIni ini("[a]\r\nk=1\r\n");
    int calls = 0;
    updateIniFile([&](IniDocument &doc) {
        ++calls;
        doc.setValue(QStringLiteral("a"), QStringLiteral("k"), QStringLiteral("2"));
        doc.setValue(QStringLiteral("b"), QStringLiteral("k"), QStringLiteral("3"));
        return true;
    });
    QCOMPARE(calls, 1);
    QCOMPARE(ini.bytes(), QByteArray("[a]\r\nk=2\r\n[b]\r\nk=3\r\n"));
    // No temporary file is left beside it.
    QCOMPARE(QDir(ini.dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("INI.ini")});
}

void TestIniFile::failedWriteKeepsTheOldFileAndWarns()
{
    // A folder where the file should be: the write fails, nothing crashes,
    // reads give what is there (nothing) and the folder is untouched.
    TempIni ini(QByteArray(), false);
    QVERIFY(QDir().mkpath(ini.path));
    writeIniValue(QStringLiteral("Settings"), QStringLiteral("PopUp"), QStringLiteral("Reject"));
    QVERIFY(QFileInfo(ini.path).isDir());
    QCOMPARE(readIniValue(QStringLiteral("Settings"), QStringLiteral("PopUp")), QString());
    QCOMPARE(QDir(ini.dir.path()).entryList(QDir::Files), QStringList());

    // A file in a folder that has gone away: nothing is created anywhere.
    qputenv("KESTREL_INI", QFile::encodeName(ini.dir.path() + QStringLiteral("/gone/INI.ini")));
    QVERIFY(!updateIniFile([](IniDocument &d) {
        d.setValue(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"));
        return true;
    }));
}

void TestIniFile::readOnlyProgramFolderUsesPerUserCopy()
{
    QTemporaryDir exe, config;
    {
        QFile f(exe.path() + QStringLiteral("/INI.ini"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Settings]\r\nHome=x\r\n");
    }
    QFile::setPermissions(exe.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const QString path = settings_detail::resolveIniPath(exe.path(), config.path());
    QFile::setPermissions(exe.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(path, config.path() + QStringLiteral("/Kestrel/INI.ini"));
    QFile copy(path);
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), QByteArray("[Settings]\r\nHome=x\r\n"));
}

void TestIniFile::killedWriterNeverLeavesATornFile()
{
    // Many entries make each replacement long enough to be caught mid-way.
    QByteArray seed = "[Settings]\r\nA=0\r\nB=0\r\n";
    for (int i = 0; i < 3000; ++i)
        seed += "[" + QByteArray::number(i) + "]\r\nName=favorite " + QByteArray::number(i) + "\r\n";
    TempIni ini(seed);

    auto *rng = QRandomGenerator::global();
    for (int round = 0; round < 25; ++round) {
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            for (int v = 1;; ++v) {
                writeIniValues({{QStringLiteral("Settings"), QStringLiteral("A"), QString::number(v)},
                                {QStringLiteral("Settings"), QStringLiteral("B"), QString::number(v)}});
            }
        }
        usleep(useconds_t(rng->bounded(2000, 40000)));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);

        const IniDocument doc = IniDocument::fromBytes(ini.bytes());
        const QString a = doc.value(QStringLiteral("Settings"), QStringLiteral("A"));
        bool ok = false;
        a.toInt(&ok);
        QVERIFY2(ok, qPrintable(QStringLiteral("round %1: A is '%2'").arg(round).arg(a)));
        QCOMPARE(doc.value(QStringLiteral("Settings"), QStringLiteral("B")), a);
        QCOMPARE(doc.value(QStringLiteral("2999"), QStringLiteral("Name")), QStringLiteral("favorite 2999"));
        QCOMPARE(ini.bytes().size() >= seed.size(), true);
    }
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
