#include "WidgetTestSupport.h"

#include "common/Twips.h"
#include "dialogs/StartupDialog.h"
#include "settings/Preferences.h"
#include "settings/Settings.h"

#include <QComboBox>
#include <QLayout>
#include <QTabWidget>

class TestDialogsMenus : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { useFakeViews(); }
    void cleanup() { closeAllWindows(); }

    void preferencesShowStoredValuesWithoutWriting();
    void preferencesStoreEachClick();
    void captionsFitTheirControls_data();
    void captionsFitTheirControls();
};

void TestDialogsMenus::preferencesShowStoredValuesWithoutWriting()
{
    // Only the exact stored words count; a quoted one is read without its quotes.
    const QByteArray file = "[Settings]\r\nStartUp=Blank\r\nDoStartup=True\r\nConfirmExit=true\r\n"
                            "PopUp=reject\r\nSupressErrors=\"True\"\r\n";
    TempIni ini(file);
    testHost()->showPreferences();
    QWidget *p = shown<QWidget>(QStringLiteral("frmPreferences"));
    QVERIFY(p);
    auto option = [&p](const char *name) { return control<QAbstractButton>(p, name)->isChecked(); };
    QCOMPARE(control<QTabWidget>(p, "Tabs")->currentIndex(), 0);
    for (const char *name : {"optStartBlank", "chkShowDialog", "chkSupressErrors"})
        QVERIFY2(option(name), name);
    for (const char *name : {"optStartHome", "optStartContinue", "chkConfirmExit", "optPopUpsReject", "optPopUpsAccept"})
        QVERIFY2(!option(name), name);
    QCOMPARE(ini.bytes(), file);
    QPointer<QWidget> closed = p;
    p->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!closed);

    TempIni none(QByteArray(), false);
    testHost()->showPreferences();
    p = shown<QWidget>(QStringLiteral("frmPreferences"));
    for (const char *name : {"optStartContinue", "optStartHome", "optStartBlank", "optPopUpsAccept", "optPopUpsReject"})
        QVERIFY2(!option(name), name);
    QVERIFY(!QFile::exists(none.path));
}

void TestDialogsMenus::preferencesStoreEachClick()
{
    TempIni ini("[Settings]\r\nStartUp=Home\r\n");
    testHost()->showPreferences();
    QWidget *p = shown<QWidget>(QStringLiteral("frmPreferences"));
    QVERIFY(p);
    auto click = [&p](const char *name) { control<QAbstractButton>(p, name)->click(); };
    auto checked = [&p](const char *name) { return control<QAbstractButton>(p, name)->isChecked(); };
    auto value = [](const char *key) { return readIniValue(QStringLiteral("Settings"), QString::fromLatin1(key)); };

    // Each click is stored at once, as the word the file has always held.
    const std::tuple<const char *, const char *, const char *> clicks[] = {
        {"chkShowDialog", "DoStartup", "True"},      {"chkShowDialog", "DoStartup", "False"},
        {"optPopUpsReject", "PopUp", "Reject"},      {"optStartBlank", "Startup", "Blank"},
        {"chkConfirmExit", "ConfirmExit", "True"},   {"chkSupressErrors", "SupressErrors", "True"},
        {"optPopUpsAccept", "PopUp", "Accept"},      {"optStartContinue", "StartUp", "Continue"}};
    for (const auto &[button, key, stored] : clicks) {
        click(button);
        QCOMPARE(value(key), QString::fromLatin1(stored));
        // A click in one group leaves the other group's choice as it was.
        QCOMPARE(checked("optStartHome"), value("Startup") == QLatin1String("Home"));
    }
    // One entry for the start mode, however it is spelled.
    QCOMPARE(ini.bytes().count("tartUp="), 1);
    const QByteArray before = ini.bytes();
    click("OKButton");
    QCOMPARE(ini.bytes(), before);
}

void TestDialogsMenus::captionsFitTheirControls_data()
{
    QTest::addColumn<double>("fontScale");
    QTest::newRow("platform font") << 1.0;
    QTest::newRow("larger font") << 1.5;
}

// Every caption of every window is seen whole, also with a larger font (and,
// run again with QT_SCALE_FACTOR=2, on a high-density screen).
void TestDialogsMenus::captionsFitTheirControls()
{
    QFETCH(double, fontScale);
    const QFont platform = QApplication::font();
    QFont font = platform;
    font.setPointSizeF(platform.pointSizeF() * fontScale);
    QApplication::setFont(font);
    auto restore = qScopeGuard([platform] { QApplication::setFont(platform); });
    TempIni ini("[Settings]\r\nDoStartup=True\r\n[Favorites]\r\nNumber=1\r\n[0]\r\nName=A\r\nURL=http://a.test/\r\n");

    MainWindow *w = openWindow();
    // A site's name longer than the room beside the buttons.
    const QString host = QStringLiteral("login.") + QString(60, QLatin1Char('a')) + QLatin1Char('.') + QString(60, QLatin1Char('b'))
                         + QStringLiteral(".bank.example");
    w->view()->navigate(QStringLiteral("https://") + host + QStringLiteral("/"), BrowserView::History::Keep);
    // At its designed width, which a small screen at twice the density does not hold.
    w->resize(Twips::toPixels(11670), w->height());
    (new StartupDialog(Preferences::load(), false))->show();
    testHost()->showClearData();
    testHost()->showAbout();
    testHost()->showPreferences();
    testHost()->addFavorite(w);
    testHost()->editFavorite(w, 0);

    int checked = 0;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (!window->isVisible())
            continue;
        for (QWidget *c : window->findChildren<QWidget *>()) {
            QWidget *parent = c->parentWidget();
            if (parent->layout() || qobject_cast<QComboBox *>(parent))
                continue;
            const auto *label = qobject_cast<QLabel *>(c);
            const auto *button = qobject_cast<QAbstractButton *>(c);
            const QString text = label ? label->text() : button ? button->text() : QString();
            if (text.isEmpty())
                continue;
            const QString where = window->objectName() + QLatin1Char('/') + c->objectName();
            QSize need(c->fontMetrics().horizontalAdvance(QString(text).remove(QLatin1Char('&'))),
                       c->fontMetrics().height());
            if (label && label->wordWrap())
                need = QSize(0, label->heightForWidth(c->width()));
            else if (button && !qobject_cast<QPushButton *>(c))
                need = c->sizeHint();
            QVERIFY2(c->width() >= need.width() && c->height() >= need.height(), qPrintable(where));
            // A main window may be too small for its row of buttons, as designed;
            // dialogs and the sidebar always hold theirs.
            if (parent->objectName() != QLatin1String("client"))
                QVERIFY2(parent->rect().contains(c->geometry()), qPrintable(where + QStringLiteral(" sticks out")));
            ++checked;
        }
    }
    QVERIFY(checked > 30);
    // The site keeps to the room right of the buttons, which it never moves,
    // and keeps the end of its name, where a host says whose it is.
    auto *site = control<QLabel>(w, "lblSite");
    const QRect sidebarButton = control(w, "cmdSidebar")->geometry();
    QVERIFY(site->x() > sidebarButton.right() && site->geometry().right() < w->centralWidget()->width());
    QVERIFY2(site->text().startsWith(QStringLiteral("https://")) && site->text().endsWith(QStringLiteral(".bank.example")),
             qPrintable(site->text()));
    QCOMPARE(site->accessibleName(), QStringLiteral("https://") + host);
    // The favorites controls stay on the sidebar, however much they grew.
    QVERIFY(control(w, "Sidebar")->rect().contains(control(w, "FavoritesPanel")->geometry()));
}

QTEST_MAIN(TestDialogsMenus)
#include "tst_dialogs_menus.moc"
