#include "profile/ProfileFolder.h"
#include "session/Session.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

// What Kestrel keeps in a profile folder beside the engine's own files: the
// windows of the run, and what the user chose to clear.
class TestProfileStore : public QObject
{
    Q_OBJECT
private slots:
    void init() { QVERIFY(m_dir.isValid()); }
    void sessionComesBackAsItWasWritten();
    void damagedSessionIsNoSession_data();
    void damagedSessionIsNoSession();
    void sessionIsReplacedWhole();
    void profileFolderNamedOrDefault();
    void scheduledCleanupRemovesOnlyWhatWasChosen();
    void clearOnCloseIsRememberedAndForgotten();

private:
    ProfileFolder profile() const
    {
        return ProfileFolder{m_dir.path() + QStringLiteral("/profile"), m_dir.path() + QStringLiteral("/cache")};
    }
    static void put(const QString &path, const QByteArray &bytes = "x")
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QTemporaryDir m_dir;
};

namespace {
Session twoWindows()
{
    Session s;
    s.running = true;
    s.windows = {{QByteArray("geometry one"), QByteArray("pages\0one", 9)}, {QByteArray(), QByteArray("pages two")}};
    return s;
}
} // namespace

void TestProfileStore::sessionComesBackAsItWasWritten()
{
    const QString path = m_dir.filePath(QStringLiteral("session.dat"));
    QVERIFY(!Session::load(path)); // none yet
    QVERIFY(twoWindows().save(path));
    const std::optional<Session> back = Session::load(path);
    QVERIFY(back);
    QVERIFY(back->running);
    QCOMPARE(back->windows.size(), 2);
    QCOMPARE(back->windows[0].geometry, QByteArray("geometry one"));
    QCOMPARE(back->windows[0].view, QByteArray("pages\0one", 9));
    QCOMPARE(back->windows[1].view, QByteArray("pages two"));
}

void TestProfileStore::damagedSessionIsNoSession_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray whole = twoWindows().encode();
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("cut short") << whole.left(whole.size() - 3);
    QTest::newRow("more after the end") << whole + "x";
    QTest::newRow("another file") << QByteArray("[Settings]\nStartup=Continue\n");
    QByteArray huge = whole;
    huge[9] = '\x7f'; // the window count's top byte, after the magic, the version and the flag
    QTest::newRow("count beyond any session") << huge;
}

void TestProfileStore::damagedSessionIsNoSession()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(!Session::decode(bytes));
}

void TestProfileStore::sessionIsReplacedWhole()
{
    const QString path = m_dir.filePath(QStringLiteral("session.dat"));
    QVERIFY(twoWindows().save(path));
    Session one;
    one.windows = {{QByteArray("g"), QByteArray("v")}};
    QVERIFY(one.save(path));
    QCOMPARE(Session::load(path)->windows.size(), 1);
    QVERIFY(!Session::load(path)->running);
    // A folder that cannot be written keeps the session it has, and says why.
    const QString locked = m_dir.filePath(QStringLiteral("locked"));
    QVERIFY(QDir().mkpath(locked));
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
    if (QFileInfo(locked).isWritable())
        QSKIP("permissions mean nothing to this user");
    QString error;
    QVERIFY(!one.save(locked + QStringLiteral("/session.dat"), &error));
    QVERIFY2(error.contains(locked), qPrintable(error));
}

void TestProfileStore::profileFolderNamedOrDefault()
{
    const ProfileFolder named = ProfileFolder::choose(QStringLiteral("../p"), QStringLiteral("/env/p"),
                                                      QStringLiteral("/home/u/work"));
    QCOMPARE(named.path, QStringLiteral("/home/u/p"));
    QCOMPARE(named.cachePath, QStringLiteral("/home/u/p/Cache"));
    QCOMPARE(ProfileFolder::choose(QString(), QStringLiteral("/env/p"), QStringLiteral("/w")).path,
             QStringLiteral("/env/p"));
    const ProfileFolder fallback = ProfileFolder::choose(QString(), QString(), QStringLiteral("/w"));
    QVERIFY(fallback.path.endsWith(QStringLiteral("/Kestrel")));
    QVERIFY(fallback.cachePath.endsWith(QStringLiteral("/Kestrel")));
    QVERIFY(fallback.path != fallback.cachePath);
}

void TestProfileStore::scheduledCleanupRemovesOnlyWhatWasChosen()
{
    const ProfileFolder p = profile();
    for (const char *file : {"Local Storage/leveldb/CURRENT", "IndexedDB/site/LOG", "Cookies", "Cookies-journal",
                             "Preferences", "session.dat"})
        put(p.path + QLatin1Char('/') + QLatin1String(file));
    put(p.cachePath + QStringLiteral("/Cache_Data/index"));
    // Nothing scheduled: nothing goes.
    ProfileCleanup::runScheduled(p);
    QVERIFY(QFile::exists(p.path + QStringLiteral("/Local Storage/leveldb/CURRENT")));

    QVERIFY(ProfileCleanup::schedule(p, {ProfileCleanup::Item::SiteStorage}));
    ProfileCleanup::runScheduled(p);
    QVERIFY(!QFile::exists(p.path + QStringLiteral("/Local Storage")));
    QVERIFY(!QFile::exists(p.path + QStringLiteral("/IndexedDB")));
    for (const char *kept : {"Cookies", "Preferences", "session.dat"})
        QVERIFY2(QFile::exists(p.path + QLatin1Char('/') + QLatin1String(kept)), kept);
    QVERIFY(QFile::exists(p.cachePath + QStringLiteral("/Cache_Data/index")));

    // A schedule is run once, and one item added later keeps the earlier.
    put(p.path + QStringLiteral("/IndexedDB/again"));
    ProfileCleanup::runScheduled(p);
    QVERIFY(QFile::exists(p.path + QStringLiteral("/IndexedDB/again")));
    QVERIFY(ProfileCleanup::schedule(p, {ProfileCleanup::Item::Cookies}));
    QVERIFY(ProfileCleanup::schedule(p, {ProfileCleanup::Item::Cache}));
    ProfileCleanup::runScheduled(p);
    QVERIFY(!QFile::exists(p.path + QStringLiteral("/Cookies")));
    QVERIFY(!QFile::exists(p.path + QStringLiteral("/Cookies-journal")));
    QVERIFY(!QFile::exists(p.cachePath + QStringLiteral("/Cache_Data")));
    QVERIFY(QFile::exists(p.path + QStringLiteral("/IndexedDB/again")));
    QVERIFY(QFile::exists(p.path + QStringLiteral("/session.dat")));
}

void TestProfileStore::clearOnCloseIsRememberedAndForgotten()
{
    const ProfileFolder p = profile();
    QVERIFY(p.make());
    QVERIFY(ProfileCleanup::clearOnClose(p).isEmpty());
    QVERIFY(ProfileCleanup::storeClearOnClose(p, {QStringLiteral("Cookies"), QStringLiteral("Zoom")}));
    QCOMPARE(ProfileCleanup::clearOnClose(p), (QStringList{QStringLiteral("Cookies"), QStringLiteral("Zoom")}));
    QVERIFY(ProfileCleanup::storeClearOnClose(p, {}));
    QVERIFY(ProfileCleanup::clearOnClose(p).isEmpty());
    QVERIFY(!QFile::exists(p.clearOnCloseFile()));
}

QTEST_GUILESS_MAIN(TestProfileStore)
#include "tst_profile_store.moc"
