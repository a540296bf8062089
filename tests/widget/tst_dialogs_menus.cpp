#include "WidgetTestSupport.h"

#include "browser/AddressBox.h"
#include "dialogs/frmAbout.h"
#include "dialogs/frmPreferences.h"
#include "app/frmStartup.h"
#include "favorites/frmFavAdd.h"
#include "favorites/frmFavEdit.h"
#include "settings/Settings.h"

#include <QAction>
#include <QCheckBox>
#include <QFileDialog>
#include <QLayout>
#include <QListWidget>
#include <QRadioButton>
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
    const QByteArray file = "[Settings]\r\nStartUp=Blank\r\nDoStartup=True\r\nConfirmExit=true\r\n"
                            "PopUp=Reject\r\nSupressErrors=False\r\n";
    TempIni ini(file);
    frmPreferences::showShared();
    frmPreferences *p = frmPreferences::instance();
    QCOMPARE(p->windowTitle(), QStringLiteral("Preferences"));
    QCOMPARE(p->Tabs->tabText(0), QStringLiteral("Start And Exit"));
    QCOMPARE(p->Tabs->tabText(1), QStringLiteral("Pop-Ups/Errors"));
    QCOMPARE(p->Tabs->currentIndex(), 0);
    QVERIFY(p->optStartBlank->isChecked());
    QVERIFY(!p->optStartHome->isChecked() && !p->optStartContinue->isChecked());
    QVERIFY(p->chkShowDialog->isChecked());
    QVERIFY(!p->chkConfirmExit->isChecked()); // lower case selects nothing
    QVERIFY(p->optPopUpsReject->isChecked());
    QVERIFY(!p->chkSupressErrors->isChecked());
    QVERIFY(p->optStartContinue->isEnabled());
    QCOMPARE(ini.bytes(), file);
    p->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!frmPreferences::instance());

    TempIni none(QByteArray(), false);
    frmPreferences::showShared();
    p = frmPreferences::instance();
    for (QRadioButton *o : {p->optStartContinue, p->optStartHome, p->optStartBlank, p->optPopUpsAccept, p->optPopUpsReject})
        QVERIFY(!o->isChecked());
    QVERIFY(!QFile::exists(none.path));
}

void TestDialogsMenus::preferencesStoreEachClick()
{
    TempIni ini("[Settings]\r\nStartUp=Home\r\n");
    frmPreferences::showShared();
    frmPreferences *p = frmPreferences::instance();
    auto value = [](const char *key) { return ReadIniValue(QStringLiteral("Settings"), QString::fromLatin1(key)); };

    p->chkShowDialog->click();
    QCOMPARE(value("DoStartup"), QStringLiteral("True"));
    p->chkShowDialog->click();
    QCOMPARE(value("DoStartup"), QStringLiteral("False"));
    p->optPopUpsReject->click();
    QCOMPARE(value("PopUp"), QStringLiteral("Reject"));
    QVERIFY(p->optStartHome->isChecked()); // the other group is untouched
    p->optStartBlank->click();
    QCOMPARE(value("Startup"), QStringLiteral("Blank"));
    QVERIFY(!p->optStartHome->isChecked());
    p->chkConfirmExit->click();
    QCOMPARE(value("ConfirmExit"), QStringLiteral("True"));
    p->chkSupressErrors->click();
    QCOMPARE(value("SupressErrors"), QStringLiteral("True"));
    p->optPopUpsAccept->click();
    QCOMPARE(value("PopUp"), QStringLiteral("Accept"));
    p->optStartContinue->click();
    QCOMPARE(value("StartUp"), QStringLiteral("Continue"));
    // One entry for the start mode, however it is spelled.
    QCOMPARE(ini.bytes().count("tartUp="), 1);
    const QByteArray before = ini.bytes();
    p->OKButton->click();
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

    frmMain *w = openWindow();
    auto *startup = new frmStartup;
    QVERIFY(startup->Form_Load());
    startup->show();
    frmAbout::showShared();
    frmPreferences::showShared();
    frmFavAdd::showFor(w);
    w->lstFavs->setCurrentRow(0);
    frmFavEdit::showFor(w);

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
            QVERIFY2(c->width() >= need.width() && c->height() >= need.height(),
                     qPrintable(QStringLiteral("%1 is %2x%3, needs %4x%5").arg(where).arg(c->width())
                                    .arg(c->height()).arg(need.width()).arg(need.height())));
            // A main window may be too small for its row of buttons, as designed;
            // dialogs and the sidebar always hold theirs.
            if (parent->objectName() != QLatin1String("client"))
                QVERIFY2(parent->rect().contains(c->geometry()), qPrintable(where + QStringLiteral(" sticks out ") + QString("%1,%2 %3x%4 in %5x%6").arg(c->x()).arg(c->y()).arg(c->width()).arg(c->height()).arg(parent->width()).arg(parent->height())));
            ++checked;
        }
    }
    QVERIFY(checked > 30);
}

QTEST_MAIN(TestDialogsMenus)
#include "tst_dialogs_menus.moc"
