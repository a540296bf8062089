#include "WidgetTestSupport.h"

#include "browser/AddressBox.h"
#include "settings/Settings.h"

#include <QAction>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>

namespace {
QColor textColour(AddressBox *box)
{
    return box->lineEdit()->palette().color(QPalette::Text);
}
} // namespace

class TestAddressBox : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { useFakeViews(); }
    void init()
    {
        m_ini = std::make_unique<TempIni>("[Settings]\r\n[Favorites]\r\nNumber=0\r\n");
        m_window = CreateMainWindow();
        m_window->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
        m_box = m_window->cboURL;
        m_view = fakeOf(m_window);
    }
    void cleanup()
    {
        closeAllWindows();
        m_ini.reset();
    }

    void placeholderFollowsTheFocus();
    void typingThenEnterLoadsAndAppendsOnce();
    void completionSelectsTheTailAndBackspaceTakesItAway();
    void enterOnThePlaceholderStillNavigates();
    void arrowKeyAfterAnUnchosenDropDownNavigates();
    void homeUsesThePerUserSettingOnly();
    void viewMenuItemsReachTheButtonHandlers();
    void navigationLeavesTheBoxAlone();
    void editingKeysEditTheBoxNotThePage();

private:
    void focusBox()
    {
        m_box->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
    }
    void type(const QString &text) { QTest::keyClicks(m_box->lineEdit(), text); }
    void enter() { QTest::keyClick(m_box->lineEdit(), Qt::Key_Return); }

    std::unique_ptr<TempIni> m_ini;
    frmMain *m_window = nullptr;
    AddressBox *m_box = nullptr;
    FakeBrowserView *m_view = nullptr;
};

void TestAddressBox::placeholderFollowsTheFocus()
{
    QCOMPARE(m_box->currentText(), QStringLiteral("[Insert Address Here]"));
    QCOMPARE(textColour(m_box), QColor(0x80, 0x80, 0x80));
    focusBox();
    QCOMPARE(m_box->currentText(), QString());
    QCOMPARE(textColour(m_box), QColor(0, 0, 0));
    m_window->cmdBack->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    QCOMPARE(m_box->currentText(), QStringLiteral("[Insert Address Here]"));
    QCOMPARE(textColour(m_box), QColor(0x80, 0x80, 0x80));

    // The same words typed in black are the user's own.
    focusBox();
    type(QStringLiteral("[Insert Address Here]"));
    m_window->cmdBack->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    focusBox();
    QCOMPARE(m_box->currentText(), QStringLiteral("[Insert Address Here]"));
    QCOMPARE(textColour(m_box), QColor(0, 0, 0));
}

void TestAddressBox::typingThenEnterLoadsAndAppendsOnce()
{
    focusBox();
    type(QStringLiteral("127.0.0.1/a.html"));
    enter();
    QCOMPARE(m_view->calls, QStringList{QStringLiteral("Navigate:127.0.0.1/a.html")});
    QCOMPARE(m_box->count(), 1);
    m_box->lineEdit()->clear();
    type(QStringLiteral("127.0.0.1/a.html"));
    enter();
    QCOMPARE(m_box->count(), 1);
    QCOMPARE(m_view->calls.size(), 2);
}

void TestAddressBox::completionSelectsTheTailAndBackspaceTakesItAway()
{
    focusBox();
    type(QStringLiteral("http://news.test/"));
    enter();
    m_box->lineEdit()->selectAll();
    type(QStringLiteral("http://mail.test/"));
    enter();
    m_box->lineEdit()->selectAll();
    type(QStringLiteral("http://n"));
    QCOMPARE(m_box->currentText(), QStringLiteral("http://news.test/"));
    QCOMPARE(m_box->lineEdit()->selectedText(), QStringLiteral("ews.test/"));

    QTest::keyClick(m_box->lineEdit(), Qt::Key_Backspace);
    QCOMPARE(m_box->currentText(), QStringLiteral("http://n"));
    // The next key completes again, and Enter loads the full address.
    type(QStringLiteral("e"));
    QCOMPARE(m_box->currentText(), QStringLiteral("http://news.test/"));
    QCOMPARE(m_box->lineEdit()->selectedText(), QStringLiteral("ws.test/"));
    m_view->calls.clear();
    enter();
    QCOMPARE(m_view->calls, QStringList{QStringLiteral("Navigate:http://news.test/")});
    QCOMPARE(m_box->count(), 2);
}

void TestAddressBox::enterOnThePlaceholderStillNavigates()
{
    // The box has the placeholder and is focused without its focus-in
    // handler clearing it: a click on the drop-down arrow does that.
    QTest::keyClick(m_box->lineEdit(), Qt::Key_Return);
    QCOMPARE(m_view->calls, QStringList{QStringLiteral("Navigate:[Insert Address Here]")});
    // Focused and left empty: Enter passes the empty text on.
    focusBox();
    QTest::keyClick(m_box->lineEdit(), Qt::Key_Return);
    QCOMPARE(m_view->calls.last(), QStringLiteral("Navigate:"));
}

void TestAddressBox::arrowKeyAfterAnUnchosenDropDownNavigates()
{
    focusBox();
    for (const char *a : {"one.test", "two.test"}) {
        m_box->lineEdit()->selectAll();
        type(QString::fromLatin1(a));
        enter();
    }
    m_view->calls.clear();
    m_box->showPopup();
    m_box->hidePopup();
    QTest::keyClick(m_box->lineEdit(), Qt::Key_Down);
    QCOMPARE(m_view->calls.size(), 1);
    QVERIFY(m_view->calls.first().startsWith(QStringLiteral("Navigate:")));
    // The flag is spent: the next arrow only moves.
    QTest::keyClick(m_box->lineEdit(), Qt::Key_Up);
    QCOMPARE(m_view->calls.size(), 1);
}

void TestAddressBox::homeUsesThePerUserSettingOnly()
{
    TempUserSettings user;
    WriteIniValue(QStringLiteral("Settings"), QStringLiteral("Home"), QStringLiteral("http://file.test/"));
    QTest::mouseClick(m_window->cmdHome, Qt::LeftButton);
    QCOMPARE(m_view->calls.last(), QStringLiteral("Navigate:") + QString::fromLatin1(kBuiltInHomePage));
    user.setHome(QStringLiteral(" http://user.test/ "));
    QTest::mouseClick(m_window->cmdHome, Qt::LeftButton);
    QCOMPARE(m_view->calls.last(), QStringLiteral("Navigate: http://user.test/ "));
}

void TestAddressBox::viewMenuItemsReachTheButtonHandlers()
{
    TempUserSettings user;
    user.setHome(QStringLiteral("http://home.test/"));
    const QList<QPair<const char *, QPushButton *>> pairs = {
        {"mnuViewGoToBack", m_window->cmdBack}, {"mnuViewGoToForward", m_window->cmdForward},
        {"mnuViewGoToHome", m_window->cmdHome}, {"mnuViewStop", m_window->cmdStop},
        {"mnuViewReload", m_window->cmdReload}};
    for (const auto &[name, button] : pairs) {
        m_view->calls.clear();
        QTest::mouseClick(button, Qt::LeftButton);
        const QStringList byButton = m_view->calls;
        m_view->calls.clear();
        m_window->menuAction(QString::fromLatin1(name))->trigger();
        QCOMPARE(m_view->calls, byButton);
        QCOMPARE(byButton.size(), 1);
    }
}

void TestAddressBox::navigationLeavesTheBoxAlone()
{
    m_view->calls.clear();
    QTest::keyClick(m_window->cmdBack, Qt::Key_F5);
    QCOMPARE(m_view->calls, QStringList{QStringLiteral("Refresh")});
    focusBox();
    type(QStringLiteral("typed.test"));
    for (QPushButton *b : {m_window->cmdBack, m_window->cmdForward, m_window->cmdStop, m_window->cmdHome})
        b->click();
    emit m_view->TitleChange(QStringLiteral("Elsewhere"));
    QCOMPARE(m_box->currentText(), QStringLiteral("typed.test"));
}

void TestAddressBox::editingKeysEditTheBoxNotThePage()
{
    focusBox();
    type(QStringLiteral("abc"));
    m_view->calls.clear();
    QTest::keyClick(m_box->lineEdit(), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(m_box->lineEdit()->selectedText(), QStringLiteral("abc"));
    QTest::keyClick(m_box->lineEdit(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("abc"));
    QTest::keyClick(m_box->lineEdit(), Qt::Key_End);
    QTest::keyClick(m_box->lineEdit(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(m_box->currentText(), QStringLiteral("abcabc"));
    QTest::keyClick(m_box->lineEdit(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m_box->currentText(), QStringLiteral("abc"));
    QTest::keyClick(m_box->lineEdit(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(m_box->currentText(), QStringLiteral("abcabc"));
    QVERIFY2(!m_view->calls.join(QLatin1Char(' ')).contains(QStringLiteral("ExecWB")),
             qPrintable(m_view->calls.join(QLatin1Char(' '))));

    // The menu items themselves act on the page.
    m_window->menuAction(QStringLiteral("mnuEditPaste"))->trigger();
    QCOMPARE(m_view->calls.last(), QStringLiteral("ExecWB:13:0:"));
}

QTEST_MAIN(TestAddressBox)
#include "tst_address_box.moc"
