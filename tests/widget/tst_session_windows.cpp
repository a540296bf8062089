#include "WidgetTestSupport.h"

#include "session/Session.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QTemporaryDir>

// The run's windows as the profile keeps them, and what Clear Browsing Data
// does with the host's list: state and wiring, on fake views.
class TestSessionWindows : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void sessionFollowsTheWindowsAndKeepsTheLastOne();
    void privateWindowsLeaveNoSession();
    void crashedSessionOutlivesARunWithoutWindows();
    void offeredWindowsStayUntilAnswered();
    void clearDataClearsTheCheckedAndRemembersClose();

private:
    std::optional<Session> saved() const { return Session::load(m_profile.sessionFile()); }
    // The pages of the saved windows, oldest first.
    QStringList savedPages() const
    {
        QStringList out;
        if (const auto s = saved()) {
            for (const Session::Window &w : s->windows)
                out << QString::fromUtf8(w.view.mid(5));
        }
        return out;
    }
    MainWindow *open(const QString &address)
    {
        MainWindow *w = m_host->openWindow(address);
        w->show();
        return w;
    }
    static void writeCrashedSession(const ProfileFolder &p, const QStringList &pages)
    {
        Session s;
        s.running = true;
        for (const QString &page : pages)
            s.windows << Session::Window{QByteArray(), "fake:" + page.toUtf8()};
        QVERIFY(s.save(p.sessionFile()));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    ProfileFolder m_profile;
    std::unique_ptr<FakeHost> m_host;
    std::unique_ptr<TempIni> m_ini;
};

void TestSessionWindows::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_profile = ProfileFolder{m_dir->path(), m_dir->path() + QStringLiteral("/Cache")};
    m_ini = std::make_unique<TempIni>("[Settings]\r\nDoStartup=False\r\nStartup=Blank\r\n");
}

void TestSessionWindows::cleanup()
{
    closeAllWindows();
    m_host.reset();
    m_ini.reset();
}

void TestSessionWindows::sessionFollowsTheWindowsAndKeepsTheLastOne()
{
    m_host = std::make_unique<FakeHost>(m_profile);
    MainWindow *a = open(QStringLiteral("http://a.test/"));
    MainWindow *b = open(QStringLiteral("http://b.test/"));
    QTRY_COMPARE_WITH_TIMEOUT(savedPages(), (QStringList{"http://a.test/", "http://b.test/"}), 2000);
    QVERIFY(saved()->running);
    b->view()->navigate(QStringLiteral("http://b.test/2"));
    QTRY_COMPARE_WITH_TIMEOUT(savedPages(), (QStringList{"http://a.test/", "http://b.test/2"}), 2000);

    b->close();
    QTRY_COMPARE_WITH_TIMEOUT(savedPages(), QStringList{"http://a.test/"}, 2000);
    // The last window closed ends the run and stays its session.
    a->close();
    m_host->endOfRun();
    QCOMPARE(savedPages(), QStringList{"http://a.test/"});
    QVERIFY(!saved()->running);

    // Reopen brings back the last closed first, with its pages.
    m_host->reopenClosedWindow();
    m_host->reopenClosedWindow();
    m_host->reopenClosedWindow(); // none left: nothing happens
    const QList<MainWindow *> back = openMainWindows();
    QCOMPARE(back.size(), 2);
    QStringList pages;
    for (MainWindow *w : back)
        pages << w->view()->address();
    pages.sort();
    QCOMPARE(pages, (QStringList{"http://a.test/", "http://b.test/2"}));
}

void TestSessionWindows::privateWindowsLeaveNoSession()
{
    m_host = std::make_unique<FakeHost>(m_profile);
    m_host->openPrivateWindow();
    QList<MainWindow *> windows = openMainWindows();
    QCOMPARE(windows.size(), 1);
    MainWindow *w = windows.first();
    QCOMPARE(w->windowTitle(), QStringLiteral("Kestrel (Private)"));
    // Its new windows are private as well.
    w->openInNewWindow(QStringLiteral("http://p.test/"));
    MainWindow *other = otherMainWindow(w);
    QVERIFY(other && other->view()->isPrivate());
    other->close();
    w->close();
    QTest::qWait(1500);
    m_host->endOfRun();
    QVERIFY(!QFile::exists(m_profile.sessionFile()));
    m_host->reopenClosedWindow();
    QVERIFY(openMainWindows().isEmpty());
}

void TestSessionWindows::crashedSessionOutlivesARunWithoutWindows()
{
    writeCrashedSession(m_profile, {"http://x.test/", "http://y.test/"});
    const QByteArray before = [this] {
        QFile f(m_profile.sessionFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    m_ini->write("[Settings]\r\nDoStartup=True\r\n");
    m_host = std::make_unique<FakeHost>(m_profile);
    m_host->start({});
    QWidget *dialog = shown<QWidget>(QStringLiteral("frmStartup"));
    QVERIFY(dialog);
    // The user closes the start-up dialog: the run ends without a window.
    dialog->close();
    QTest::qWait(1500);
    m_host->endOfRun();
    QFile f(m_profile.sessionFile());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), before);
}

void TestSessionWindows::offeredWindowsStayUntilAnswered()
{
    writeCrashedSession(m_profile, {"http://x.test/", "http://y.test/"});
    m_host = std::make_unique<FakeHost>(m_profile);
    m_host->start({QStringLiteral("http://given.test/")});
    auto *offer = shown<QMessageBox>(QStringLiteral("frmRestore"));
    QVERIFY(offer);
    QVERIFY(offer->text().contains(QLatin1String("2 windows")));
    // Not answered yet: another crash now would still find them.
    QTRY_COMPARE_WITH_TIMEOUT(savedPages(), (QStringList{"http://x.test/", "http://y.test/", "http://given.test/"}),
                              2000);
    QAbstractButton *decline = offer->buttons().value(1);
    QVERIFY(decline && decline->text().contains(QLatin1String("Restore")));
    decline->click();
    QTRY_COMPARE_WITH_TIMEOUT(savedPages(), QStringList{"http://given.test/"}, 2000);
    QCOMPARE(openMainWindows().size(), 1);
}

void TestSessionWindows::clearDataClearsTheCheckedAndRemembersClose()
{
    m_host = std::make_unique<FakeHost>(m_profile);
    int cookies = 0, zoomNow = 0, zoomAtClose = 0;
    m_host->browsingData().insert(0, {QStringLiteral("Cookies"), QStringLiteral("&Cookies"), true,
                                      [&cookies] { ++cookies; }, {}, QString()});
    m_host->browsingData().add({QStringLiteral("Zoom"), QStringLiteral("&Zoom"), false, [&zoomNow] { ++zoomNow; },
                                [&zoomAtClose] { ++zoomAtClose; }, QString()});
    MainWindow *w = open(QStringLiteral("http://a.test/"));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_profile.sessionFile()), 2000);

    m_host->showClearData();
    auto *dialog = shown<QDialog>(QStringLiteral("frmClearData"));
    QVERIFY(dialog);
    QVERIFY(control<QCheckBox>(dialog, "chkCookies")->isChecked());
    QVERIFY(!control<QCheckBox>(dialog, "chkSession")->isChecked());
    QVERIFY(!control<QCheckBox>(dialog, "chkZoom")->isChecked());
    QTest::keyClick(dialog, Qt::Key_Return);
    QCOMPARE(cookies, 1);
    QCOMPARE(zoomNow, 0);
    QVERIFY(QFile::exists(m_profile.sessionFile()));
    QVERIFY(ProfileCleanup::clearOnClose(m_profile).isEmpty());

    // The session and the zoom, now and whenever Kestrel closes.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_host->showClearData();
    dialog = shown<QDialog>(QStringLiteral("frmClearData"));
    control<QCheckBox>(dialog, "chkCookies")->setChecked(false);
    control<QCheckBox>(dialog, "chkSession")->setChecked(true);
    control<QCheckBox>(dialog, "chkZoom")->setChecked(true);
    control<QCheckBox>(dialog, "chkClearOnClose")->setChecked(true);
    QTest::keyClick(dialog, Qt::Key_Return);
    QCOMPARE(cookies, 1);
    QCOMPARE(zoomNow, 1);
    QVERIFY(!QFile::exists(m_profile.sessionFile()));
    QCOMPARE(ProfileCleanup::clearOnClose(m_profile), (QStringList{"Session", "Zoom"}));

    // The dialog shows the choice the next time.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_host->showClearData();
    dialog = shown<QDialog>(QStringLiteral("frmClearData"));
    QVERIFY(control<QCheckBox>(dialog, "chkClearOnClose")->isChecked());
    QVERIFY(!control<QCheckBox>(dialog, "chkCookies")->isChecked());
    QVERIFY(control<QCheckBox>(dialog, "chkZoom")->isChecked());
    dialog->close();

    // The window changes again, then the run ends: nothing of the session
    // is left, and the zoom goes its own way at close.
    w->view()->navigate(QStringLiteral("http://a.test/2"));
    w->close();
    m_host->endOfRun();
    QVERIFY(!QFile::exists(m_profile.sessionFile()));
    QCOMPARE(zoomAtClose, 1);
    QCOMPARE(zoomNow, 1);
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestSessionWindows test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_session_windows.moc"
