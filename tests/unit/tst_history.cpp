#include "history/History.h"
#include "history/HistoryDatabase.h"

#include <QProcess>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int kBatch = 200;

QDateTime at(int minute)
{
    return QDateTime(QDate(2024, 5, 1), QTime(12, 0)).addSecs(60 * minute);
}

QStringList addressesOf(const HistoryEntries &entries)
{
    QStringList out;
    for (const HistoryEntry &e : entries)
        out << e.address;
    return out;
}

// The writer the crash test kills: batch after batch until it is stopped.
int writeUntilKilled(const QString &path)
{
    HistoryDatabase db(path);
    QString error;
    if (!db.open(&error))
        return 2;
    for (int n = 0;; ++n) {
        HistoryEntries batch;
        for (int i = 0; i < kBatch; ++i)
            batch.append({QStringLiteral("http://127.0.0.1/%1/%2").arg(n).arg(i), QStringLiteral("batch %1").arg(n),
                          at(n)});
        if (!db.write(batch, &error))
            return 3;
    }
}

} // namespace

// The history file and the history kept in the background.
class TestHistory : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void findMatchesEveryWordInTitleOrAddress_data();
    void findMatchesEveryWordInTitleOrAddress();
    void revisitMovesAPageUpAndKeepsItsTitle();
    void killedWhileWritingLeavesEveryBatchWholeOrAbsent();
    void fileThatIsNoDatabaseIsSetAside();
    void titleStormIsWrittenOnceAndFoundAtOnce();
    void removeAndClearReachTheFile();

private:
    QString dbPath() const { return m_dir->filePath(QStringLiteral("History.sqlite")); }
    // The entries of a search in the background, once it answers.
    HistoryEntries findNow(History &history, const QString &words)
    {
        QSignalSpy answers(&history, &History::found);
        const int ticket = history.find(words, 100);
        if (!answers.wait(10000))
            return {};
        [&] { QCOMPARE(answers.constFirst().at(0).toInt(), ticket); }();
        return answers.constFirst().at(1).value<HistoryEntries>();
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestHistory::findMatchesEveryWordInTitleOrAddress_data()
{
    QTest::addColumn<QString>("words");
    QTest::addColumn<QStringList>("found");
    const QString birds = QStringLiteral("https://birds.example/kestrel");
    const QString tea = QStringLiteral("http://127.0.0.1:8080/tea?x=50%25");
    const QString news = QStringLiteral("https://news.example/");
    QTest::newRow("nothing typed: all, newest first") << QString() << QStringList{news, tea, birds};
    QTest::newRow("a word of a title, any case") << QStringLiteral("FALCONS") << QStringList{birds};
    QTest::newRow("a piece of an address") << QStringLiteral("127.0.0") << QStringList{tea};
    QTest::newRow("every word must match") << QStringLiteral("falcons tea") << QStringList{};
    QTest::newRow("words in title and address") << QStringLiteral("kestrel falcons") << QStringList{birds};
    QTest::newRow("% is a character, not any text") << QStringLiteral("%") << QStringList{tea};
    QTest::newRow("_ is a character") << QStringLiteral("_") << QStringList{};
    QTest::newRow("a quote is a character") << QStringLiteral("'") << QStringList{news};
}

void TestHistory::findMatchesEveryWordInTitleOrAddress()
{
    QFETCH(QString, words);
    QFETCH(QStringList, found);
    HistoryDatabase db(dbPath());
    QString error;
    QVERIFY2(db.open(&error), qPrintable(error));
    QVERIFY2(db.write({{QStringLiteral("https://birds.example/kestrel"), QStringLiteral("Hawks and Falcons"), at(1)},
                       {QStringLiteral("http://127.0.0.1:8080/tea?x=50%25"), QStringLiteral("Tea"), at(2)},
                       {QStringLiteral("https://news.example/"), QStringLiteral("Today's News"), at(3)}},
                      &error),
             qPrintable(error));
    QCOMPARE(addressesOf(db.find(words, 100, &error)), found);
    QVERIFY2(error.isEmpty(), qPrintable(error));
}

void TestHistory::revisitMovesAPageUpAndKeepsItsTitle()
{
    const QString a = QStringLiteral("http://a.example/"), b = QStringLiteral("http://b.example/");
    {
        HistoryDatabase db(dbPath());
        QVERIFY(db.open(nullptr));
        QVERIFY(db.write({{a, QStringLiteral("First A"), at(1)}, {b, QStringLiteral("B"), at(2)}}, nullptr));
        // Seen again, before its title came.
        QVERIFY(db.write({{a, QString(), at(3)}}, nullptr));
    }
    // A later run reads what an earlier one wrote.
    HistoryDatabase db(dbPath());
    QVERIFY(db.open(nullptr));
    const HistoryEntries entries = db.find(QString(), 10, nullptr);
    QCOMPARE(addressesOf(entries), (QStringList{a, b}));
    QCOMPARE(entries.first().title, QStringLiteral("First A"));
    QCOMPARE(entries.first().visited, at(3));
}

void TestHistory::killedWhileWritingLeavesEveryBatchWholeOrAbsent()
{
    QProcess writer;
    writer.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--write-until-killed"), dbPath()});
    QVERIFY(writer.waitForStarted());
    HistoryDatabase reader(dbPath());
    // Killed once it has written a few batches, in the middle of another.
    QTRY_VERIFY_WITH_TIMEOUT(reader.open(nullptr) && reader.find(QStringLiteral("batch 3"), 1, nullptr).size() == 1,
                             20000);
    QTest::qWait(50);
    writer.kill();
    QVERIFY(writer.waitForFinished());
    QCOMPARE(writer.exitStatus(), QProcess::CrashExit);

    HistoryDatabase db(dbPath());
    QString error;
    QVERIFY2(db.open(&error), qPrintable(error));
    QHash<QString, int> perBatch;
    for (const HistoryEntry &e : db.find(QString(), 10000000, &error))
        ++perBatch[e.title];
    QVERIFY(perBatch.contains(QStringLiteral("batch 3")));
    for (auto it = perBatch.cbegin(); it != perBatch.cend(); ++it)
        QVERIFY2(it.value() == kBatch, qPrintable(QStringLiteral("%1: %2 rows").arg(it.key()).arg(it.value())));
    {
        auto check = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
        check.setDatabaseName(dbPath());
        QVERIFY(check.open());
        QSqlQuery q(QStringLiteral("PRAGMA integrity_check"), check);
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("ok"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("check"));
    // And it takes new pages.
    QVERIFY(db.write({{QStringLiteral("http://after.example/"), QStringLiteral("After"), at(9)}}, &error));
    QCOMPARE(db.find(QStringLiteral("After"), 5, nullptr).size(), 1);
}

void TestHistory::fileThatIsNoDatabaseIsSetAside()
{
    const QByteArray junk(64 * 1024, 'x');
    {
        QFile f(dbPath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(junk);
    }
    HistoryDatabase db(dbPath());
    QString error;
    QVERIFY2(db.open(&error), qPrintable(error));
    QVERIFY(db.write({{QStringLiteral("http://new.example/"), QStringLiteral("New"), at(1)}}, &error));
    QCOMPARE(db.find(QString(), 10, nullptr).size(), 1);
    QFile aside(dbPath() + QStringLiteral(".broken"));
    QVERIFY(aside.open(QIODevice::ReadOnly));
    QCOMPARE(aside.readAll(), junk);
}

void TestHistory::titleStormIsWrittenOnceAndFoundAtOnce()
{
    History history(dbPath());
    QSignalSpy writes(&history, &History::changed);
    const QString page = QStringLiteral("http://127.0.0.1/storm");
    for (int i = 1; i <= 10000; ++i)
        history.record(page, QStringLiteral("Title %1 ").arg(i) + QString(2000, QLatin1Char('t')), at(1));
    // A page's data as its address is not kept.
    history.record(QStringLiteral("data:text/html,") + QString(History::kLongestAddress, QLatin1Char('a')),
                   QStringLiteral("Data"), at(2));
    // Searched at once, before the batch's time is up: found all the same.
    const HistoryEntries entries = findNow(history, QString());
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries.first().address, page);
    QVERIFY(entries.first().title.startsWith(QStringLiteral("Title 10000 ")));
    QCOMPARE(entries.first().title.size(), History::kLongestTitle);
    QTRY_COMPARE(writes.size(), 1);
    QTest::qWait(1500);
    QCOMPARE(writes.size(), 1);
}

void TestHistory::removeAndClearReachTheFile()
{
    const QString a = QStringLiteral("http://a.example/"), b = QStringLiteral("http://b.example/");
    {
        History history(dbPath());
        history.record(a, QStringLiteral("A"), at(1));
        history.record(b, QStringLiteral("B"), at(2));
        QCOMPARE(addressesOf(findNow(history, QString())), (QStringList{b, a}));
        history.remove({b});
        QCOMPARE(addressesOf(findNow(history, QString())), QStringList{a});
        history.record(b, QStringLiteral("B"), at(3));
        // Closed with a visit still waiting to be written.
    }
    {
        History history(dbPath());
        QCOMPARE(addressesOf(findNow(history, QString())), (QStringList{b, a}));
        history.record(b, QStringLiteral("B again"), at(4));
        history.clear();
        QCOMPARE(findNow(history, QString()).size(), 0);
    }
    History history(dbPath());
    QCOMPARE(findNow(history, QString()).size(), 0);
    QFile file(dbPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(!file.readAll().contains("a.example"));
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--write-until-killed") == 0)
        return writeUntilKilled(QString::fromLocal8Bit(argv[2]));
    TestHistory test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_history.moc"
