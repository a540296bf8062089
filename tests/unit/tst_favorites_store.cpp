#include "TempIni.h"
#include "favorites/FavoritesModel.h"
#include "favorites/FavoritesStore.h"
#include "settings/Settings.h"

#include <QtTest>

#include <sys/wait.h>
#include <unistd.h>

namespace {
IniDocument storeOf(const QStringList &names, const QByteArray &count = QByteArray())
{
    QByteArray text = "[Favorites]\r\nNumber=" + (count.isNull() ? QByteArray::number(names.size()) : count) + "\r\n";
    for (int i = 0; i < names.size(); ++i)
        text += "[" + QByteArray::number(i) + "]\r\nName=" + names[i].toUtf8() + "\r\nURL=http://" + names[i].toUtf8()
                + ".test/\r\n";
    return IniDocument::fromBytes(text);
}
} // namespace

class TestFavoritesStore : public QObject
{
    Q_OBJECT
private slots:
    void aCountNeverCostsAFavorite_data();
    void aCountNeverCostsAFavorite();
    void addAppendsAndOverwritesALeftoverSection();
    void addRefusesAFullStore();
    void deleteShiftsDownAndLeavesTheLastSection_data();
    void deleteShiftsDownAndLeavesTheLastSection();
    void changesOutsideTheListChangeNothing();
    void updateKeepsPositionAndCount();
    void namesFollowOneLineEdits();
    void theListIsWhatTheFileHolds();
    void changesFindTheFavoriteWhereItNowIs();
    void twoProcessesAddingAtOnceKeepEveryFavorite();
};

void TestFavoritesStore::aCountNeverCostsAFavorite_data()
{
    QTest::addColumn<QByteArray>("count");
    QTest::addColumn<int>("sections");
    QTest::addColumn<int>("expected");
    QTest::newRow("as stored") << QByteArray("3") << 3 << 3;
    QTest::newRow("blanks") << QByteArray(" 2 ") << 2 << 2;
    QTest::newRow("below the sections: the rest are left over") << QByteArray("1") << 3 << 1;
    QTest::newRow("zero") << QByteArray("0") << 2 << 0;
    QTest::newRow("empty") << QByteArray("") << 2 << 2;
    QTest::newRow("missing") << QByteArray() << 2 << 2;
    QTest::newRow("word") << QByteArray("many") << 2 << 2;
    QTest::newRow("negative") << QByteArray("-1") << 2 << 2;
    QTest::newRow("fraction") << QByteArray("1.5") << 2 << 2;
    QTest::newRow("beyond 16 bits") << QByteArray("40000") << 2 << 2;
    QTest::newRow("more than exist") << QByteArray("32767") << 2 << 2;
    QTest::newRow("one more than exist") << QByteArray("3") << 2 << 2;
}

void TestFavoritesStore::aCountNeverCostsAFavorite()
{
    QFETCH(QByteArray, count);
    QFETCH(int, sections);
    QFETCH(int, expected);
    QByteArray text = count.isNull() ? QByteArray("[Favorites]\r\n") : "[Favorites]\r\nNumber=" + count + "\r\n";
    QStringList all;
    for (int i = 0; i < sections; ++i) {
        all << QStringLiteral("F%1").arg(i);
        text += "[" + QByteArray::number(i) + "]\r\nName=F" + QByteArray::number(i) + "\r\n";
    }
    // A section after a gap is no favorite.
    text += "[" + QByteArray::number(sections + 1) + "]\r\nName=beyond a gap\r\n";
    IniDocument doc = IniDocument::fromBytes(text);
    QCOMPARE(FavoritesStore::names(doc), all.mid(0, expected));

    QCOMPARE(FavoritesStore::add(doc, QStringLiteral("new"), QString()), FavoritesStore::Result::Done);
    QCOMPARE(FavoritesStore::names(doc), all.mid(0, expected) << QStringLiteral("new"));
    // What the stored count hid is still in the file.
    for (int i = expected + 1; i < sections; ++i)
        QCOMPARE(FavoritesStore::name(doc, i), all[i]);
}

void TestFavoritesStore::addAppendsAndOverwritesALeftoverSection()
{
    IniDocument doc = storeOf({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}, "2");
    QCOMPARE(FavoritesStore::add(doc, QStringLiteral("new"), QString()), FavoritesStore::Result::Done);
    QCOMPARE(FavoritesStore::names(doc), (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("new")}));
    QCOMPARE(FavoritesStore::url(doc, 2), QString());
    QCOMPARE(doc.value(QStringLiteral("Favorites"), QStringLiteral("Number")), QStringLiteral("3"));

    IniDocument empty;
    QCOMPARE(FavoritesStore::add(empty, QString(), QString()), FavoritesStore::Result::Done);
    QCOMPARE(empty.toBytes(), QByteArray("[0]\r\nName=\r\nURL=\r\n[Favorites]\r\nNumber=1\r\n"));
}

void TestFavoritesStore::addRefusesAFullStore()
{
    QByteArray text = "[Favorites]\r\nNumber=32767\r\n";
    for (int i = 0; i < FavoritesStore::kMaxFavorites; ++i)
        text += "[" + QByteArray::number(i) + "]\r\nName=x\r\n";
    IniDocument doc = IniDocument::fromBytes(text);
    const QByteArray before = doc.toBytes();
    QCOMPARE(FavoritesStore::add(doc, QStringLiteral("x"), QStringLiteral("y")), FavoritesStore::Result::Full);
    QCOMPARE(doc.toBytes(), before);
}

void TestFavoritesStore::deleteShiftsDownAndLeavesTheLastSection_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("remaining");
    QTest::newRow("first") << 0 << QStringList{QStringLiteral("b"), QStringLiteral("c")};
    QTest::newRow("middle") << 1 << QStringList{QStringLiteral("a"), QStringLiteral("c")};
    QTest::newRow("last") << 2 << QStringList{QStringLiteral("a"), QStringLiteral("b")};
}

void TestFavoritesStore::deleteShiftsDownAndLeavesTheLastSection()
{
    QFETCH(int, index);
    QFETCH(QStringList, remaining);
    IniDocument doc = storeOf({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    QCOMPARE(FavoritesStore::remove(doc, index), FavoritesStore::Result::Done);
    QCOMPARE(FavoritesStore::names(doc), remaining);
    for (int i = 0; i < remaining.size(); ++i)
        QCOMPARE(FavoritesStore::url(doc, i), QStringLiteral("http://%1.test/").arg(remaining[i]));
    // The former last favorite stays beyond the count.
    QCOMPARE(FavoritesStore::name(doc, 2), QStringLiteral("c"));

    // Names keep their quotes and blanks however often they move down.
    IniDocument quoted = IniDocument::fromBytes("[Favorites]\r\nNumber=3\r\n[0]\r\nName=a\r\n"
                                                "[1]\r\nName=\"\"Quoted\"\"\r\n[2]\r\nName= 'x' \r\n");
    FavoritesStore::remove(quoted, 0);
    FavoritesStore::remove(quoted, 0);
    QCOMPARE(FavoritesStore::names(quoted), QStringList{QStringLiteral("x")});
    FavoritesStore::add(quoted, QStringLiteral("\"\"twice\"\""), QString());
    FavoritesStore::remove(quoted, 0);
    QCOMPARE(FavoritesStore::names(quoted), QStringList{QStringLiteral("\"twice\"")});

    IniDocument one = storeOf({QStringLiteral("only")});
    FavoritesStore::remove(one, 0);
    QCOMPARE(FavoritesStore::count(one), 0);
    QVERIFY(FavoritesStore::names(one).isEmpty());
}

void TestFavoritesStore::changesOutsideTheListChangeNothing()
{
    IniDocument doc = storeOf({QStringLiteral("a"), QStringLiteral("b")});
    const QByteArray before = doc.toBytes();
    for (int index : {-1, 2, 40000}) {
        QCOMPARE(FavoritesStore::remove(doc, index), FavoritesStore::Result::OutOfRange);
        QCOMPARE(FavoritesStore::update(doc, index, QStringLiteral("x"), QStringLiteral("y")),
                 FavoritesStore::Result::OutOfRange);
    }
    IniDocument empty = storeOf({});
    QCOMPARE(FavoritesStore::remove(empty, 0), FavoritesStore::Result::OutOfRange);
    QCOMPARE(FavoritesStore::count(empty), 0);
    QCOMPARE(doc.toBytes(), before);
}

void TestFavoritesStore::namesFollowOneLineEdits()
{
    // Each step edits one line, as another program would; what the follower
    // keeps must always be what a full read gives.
    QByteArray text = "[Favorites]\nNumber=2\n[0]\nName=a\n[1]\nName=b\nName=second\n[1]\nName=dup\n[2]\nName=c\n";
    const QList<QPair<QByteArray, QByteArray>> edits = {
        {"Name=a", "Name=\"renamed\""}, {"Name=second", "Name=ignored"}, {"Name=dup", "Name=hidden"},
        {"Number=2", "Number=3"},       {"Name=c", "name = C\xE9"},      {"Name=b", "; Name=b"},
    };
    // A list shown from the rows it is told about must end as the file is.
    QStringList shown;
    FavoritesStore::NamesFollower follower;
    auto follow = [&] {
        const FavoritesStore::Rows rows = follower.update(text);
        shown = shown.mid(0, rows.first) + follower.names().mid(rows.first, rows.added)
                + shown.mid(rows.first + rows.removed);
    };
    follow();
    QCOMPARE(shown, FavoritesStore::names(IniDocument::fromBytes(text)));
    for (const auto &edit : edits) {
        text.replace(edit.first, edit.second);
        follow();
        QCOMPARE(follower.names(), FavoritesStore::names(IniDocument::fromBytes(text)));
        QCOMPARE(shown, follower.names());
    }
}

void TestFavoritesStore::theListIsWhatTheFileHolds()
{
    // Names that read back otherwise than they were written, a repeated key
    // and a section without a name: after every change, made here or in the
    // file, the list is what reading the whole file gives.
    TempIni ini("[Favorites]\r\nNumber=5\r\n[0]\r\nName = \"quoted\" \r\nURL=u0\r\n[1]\r\nName=first\r\nName=second\r\n"
                "URL=u1\r\n[2]\r\nURL=u2\r\n[3]\r\nname=  spaced  \r\nURL=u3\r\n[4]\r\nName=last\r\nURL=u4\r\n");
    FavoritesModel model;
    auto fileNames = [] { return FavoritesStore::names(loadIniFile()); };
    QCOMPARE(model.names(), fileNames());
    QVERIFY(model.add(QStringLiteral("  padded  "), QStringLiteral("http://a/")));
    QCOMPARE(model.names(), fileNames());
    QVERIFY(model.add(QStringLiteral("\"in quotes\""), QStringLiteral("http://b/")));
    QCOMPARE(model.names(), fileNames());
    QCOMPARE(model.update(3, *model.at(3), QStringLiteral(" renamed "), QStringLiteral("http://c/")),
             FavoritesModel::Outcome::Done);
    QCOMPARE(model.names(), fileNames());
    for (int index : {1, 0, 3}) {
        QCOMPARE(model.remove(index, *model.at(index)), FavoritesModel::Outcome::Done);
        QCOMPARE(model.names(), fileNames());
    }
    ini.write(ini.bytes().replace("Name=second", "Name=elsewhere").replace("Number=5", "Number=4"));
    QVERIFY(model.add(QStringLiteral("after"), QStringLiteral("http://d/")));
    QCOMPARE(model.names(), fileNames());
    ini.write(ini.bytes().replace("Name=last", "Name=renamed by hand"));
    model.refresh();
    QCOMPARE(model.names(), fileNames());
}

// Another program moved, changed or deleted the favorite the user acts on:
// the change lands on that favorite where it is now, or on none.
void TestFavoritesStore::changesFindTheFavoriteWhereItNowIs()
{
    auto file = [](const QStringList &names) { return storeOf(names).toBytes(); };
    const QString a = QStringLiteral("a"), b = QStringLiteral("b"), c = QStringLiteral("c"), x = QStringLiteral("x");
    TempIni ini(file({a, b, c}));
    FavoritesModel model;
    const FavoritesModel::Favorite shownB = *model.at(1);
    ini.write(file({x, a, b, c}));
    QCOMPARE(model.remove(1, shownB), FavoritesModel::Outcome::Done);
    QCOMPARE(FavoritesStore::names(loadIniFile()), (QStringList{x, a, c}));

    const QByteArray before = ini.bytes();
    QCOMPARE(model.remove(1, shownB), FavoritesModel::Outcome::Gone);
    QCOMPARE(model.update(1, shownB, QStringLiteral("new"), QStringLiteral("http://new/")), FavoritesModel::Outcome::Gone);
    QCOMPARE(ini.bytes(), before);

    // Of two alike, the one nearest to where the user saw it.
    ini.write(file({c, a, x, c, c}));
    const FavoritesModel::Favorite shownC = *model.at(3);
    ini.write(file({c, a, x, b, c}));
    QCOMPARE(model.update(3, shownC, QStringLiteral("near"), shownC.url), FavoritesModel::Outcome::Done);
    QCOMPARE(FavoritesStore::names(loadIniFile()), (QStringList{c, a, x, b, QStringLiteral("near")}));
    QCOMPARE(model.indexOf(shownC, 3), 0);
    QCOMPARE(model.indexOf({c, QStringLiteral("http://elsewhere/")}, 1), -1);
}

void TestFavoritesStore::updateKeepsPositionAndCount()
{
    IniDocument doc = storeOf({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    QCOMPARE(FavoritesStore::update(doc, 1, QStringLiteral("B2"), QStringLiteral("about:blank")),
             FavoritesStore::Result::Done);
    QCOMPARE(FavoritesStore::names(doc), (QStringList{QStringLiteral("a"), QStringLiteral("B2"), QStringLiteral("c")}));
    QCOMPARE(FavoritesStore::url(doc, 1), QStringLiteral("about:blank"));
    QCOMPARE(FavoritesStore::count(doc), 3);
}

void TestFavoritesStore::twoProcessesAddingAtOnceKeepEveryFavorite()
{
    TempIni ini("[Settings]\r\nLastURL=about:blank\r\n[Favorites]\r\nNumber=0\r\n");
    const int each = 200;
    std::vector<pid_t> children;
    for (const char *who : {"A", "B"}) {
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            bool ok = true;
            for (int i = 0; i < each; ++i) {
                ok = ok && updateIniFile([&](IniDocument &doc) {
                    return FavoritesStore::add(doc, QStringLiteral("%1 %2").arg(QLatin1String(who)).arg(i),
                                               QStringLiteral("http://127.0.0.1/%1").arg(i))
                           == FavoritesStore::Result::Done;
                });
            }
            _exit(ok ? 0 : 1);
        }
        children.push_back(child);
    }
    for (pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const QByteArray bytes = ini.bytes();
    const IniDocument doc = IniDocument::fromBytes(bytes);
    QStringList names = FavoritesStore::names(doc);
    QCOMPARE(names.size(), 2 * each);
    names.sort();
    names.removeDuplicates();
    QCOMPARE(names.size(), 2 * each);
    // Well-formed: every line a header or an entry, one header per favorite.
    QCOMPARE(bytes.count("\r\n[") + 1, 2 * each + 2);
    QCOMPARE(bytes.count("\r\n"), 3 * 2 * each + 4);
    QCOMPARE(doc.value(QStringLiteral("Settings"), QStringLiteral("LastURL")), QStringLiteral("about:blank"));
}

QTEST_GUILESS_MAIN(TestFavoritesStore)
#include "tst_favorites_store.moc"
