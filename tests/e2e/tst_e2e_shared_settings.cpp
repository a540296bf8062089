#include "E2eSupport.h"
#include "UserInput.h"
#include "MainWindows.h"
#include "TempIni.h"

#include "browser/MainWindow.h"
#include "settings/Settings.h"

#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>

namespace {

using User::click;

void doubleClickRow(QListWidget *list, int row)
{
    User::doubleClick(list->viewport(), list->visualItemRect(list->item(row)).center());
}

QStringList rows(const QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

} // namespace

// One settings file shared with other writers: another Kestrel, an editor.
class TestSharedSettings : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { closeAllWindows(); }
    void listFollowsOtherWritersAndOpensWhatItShows();
    void failedAddIsToldAndTheDialogStays();
};

void TestSharedSettings::listFollowsOtherWritersAndOpensWhatItShows()
{
    LocalServer server;
    for (const char *n : {"F1", "F2", "F3"})
        server.page(QStringLiteral("/%1.html").arg(QLatin1String(n)), "<title>" + QByteArray(n) + " Page</title>");
    auto fav = [&](int i, const char *name) {
        return "[" + QByteArray::number(i) + "]\nName=" + name + "\nURL="
               + server.url(QStringLiteral("/%1.html").arg(QLatin1String(name))).toUtf8() + "\n";
    };
    TempIni ini("[Settings]\nDoStartup=False\nStartup=Blank\n[Favorites]\nNumber=0\n");
    MainWindow *w = openWindow();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    click(control<QPushButton>(w, "cmdSidebar"));
    QTRY_VERIFY(control<QListWidget>(w, "lstFavs")->isVisible());
    QCOMPARE(rows(control<QListWidget>(w, "lstFavs")), QStringList{QStringLiteral("No Favorites Added")});

    // Another writer replaces the file by a rename, twice: the list follows
    // within a second each time, and a double-click opens the favorite
    // whose name the row shows.
    const QList<QPair<QByteArray, QStringList>> versions = {
        {"[Favorites]\nNumber=2\n" + fav(0, "F1") + fav(1, "F2"), {"F1", "F2"}},
        {"[Favorites]\nNumber=2\n" + fav(0, "F3") + fav(1, "F1"), {"F3", "F1"}},
    };
    for (const auto &[content, expected] : versions) {
        const QString next = ini.dir.path() + QStringLiteral("/next.ini");
        QFile f(next);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        QCOMPARE(QProcess::execute(QStringLiteral("mv"), {next, ini.path}), 0);
        QTRY_COMPARE_WITH_TIMEOUT(rows(control<QListWidget>(w, "lstFavs")), expected, 1000);
        doubleClickRow(control<QListWidget>(w, "lstFavs"), 0);
        QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), expected.first() + QStringLiteral(" Page - Kestrel"), 20000);
        // The page load stores its address; an editor that saves meanwhile,
        // without the lock, would lose to it, so the next one waits.
        QTRY_COMPARE_WITH_TIMEOUT(ReadIniValue(QStringLiteral("Settings"), QStringLiteral("LastURL")),
                                  server.url(QStringLiteral("/%1.html").arg(expected.first())), 10000);
    }
    QCOMPARE(server.hits(QStringLiteral("/F2.html")), 0);
}

void TestSharedSettings::failedAddIsToldAndTheDialogStays()
{
    const QByteArray content = "[Settings]\r\nDoStartup=False\r\nStartup=Blank\r\n[Favorites]\r\nNumber=0\r\n";
    TempIni ini(content);
    // Read-only by its mode bits: not written, even by root.
    QVERIFY(QFile::setPermissions(ini.path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    MainWindow *w = openWindow();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    click(control<QPushButton>(w, "cmdSidebar"));
    QTRY_VERIFY(control<QPushButton>(w, "cmdFavAdd")->isVisible());
    click(control<QPushButton>(w, "cmdFavAdd"));
    QDialog *dialog = nullptr;
    QTRY_VERIFY((dialog = shown<QDialog>(QStringLiteral("frmFavAdd"))));
    QVERIFY(QTest::qWaitForWindowExposed(dialog));

    // The message box waits for its OK inside the click: it is read and
    // answered from a timer.
    QString told;
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || box->objectName() != QLatin1String("SaveError") || !box->isVisible())
            return;
        poll.stop();
        told = box->text();
        // The box runs its own loop; the key goes in without waiting beneath it.
        UserInput::keys(QStringLiteral("Return"));
    });
    poll.start(100);
    click(dialog->findChild<QPushButton *>(QStringLiteral("cmdAdd")));
    QTRY_VERIFY_WITH_TIMEOUT(!told.isEmpty(), 10000);
    QVERIFY2(told.contains(ini.path) && told.contains(QStringLiteral("read-only")), qPrintable(told));
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QVERIFY(dialog->isVisible());
    QCOMPARE(ini.bytes(), content);
}

int main(int argc, char **argv)
{
    return runWithRealEngine<TestSharedSettings>(argc, argv);
}
#include "tst_e2e_shared_settings.moc"
