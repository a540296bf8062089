#include "E2eSupport.h"
#include "MainWindows.h"
#include "TempIni.h"
#include "UserInput.h"

#include "browser/WebEngineBrowserView.h"
#include "browser/frmMain.h"
#include "settings/Settings.h"

#include <QLabel>
#include <QMessageBox>

namespace {

// The shown top-level widget of type T with this object name, if any.
template <typename T>
T *shown(const QString &name)
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *t = qobject_cast<T *>(w); t && t->isVisible() && t->objectName() == name)
            return t;
    }
    return nullptr;
}

bool hasReddishPixel(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 80 && c.blue() < 80)
                return true;
        }
    return false;
}

} // namespace

// What a page may do to the program and its user, tried with the user's own
// keys and clicks.
class TestPageLimits : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_ini = std::make_unique<TempIni>("[Settings]\r\n[Favorites]\r\nNumber=0\r\n"); }
    void cleanup()
    {
        closeAllWindows();
        QTest::qWait(50);
        m_ini.reset();
    }

    void propertiesShowTheRealAddressUnderAForgedTitle();
    void popUpsOpenOnlyForTheUsersClick_data();
    void popUpsOpenOnlyForTheUsersClick();

private:
    frmMain *openOn(const QString &path, const QString &caption)
    {
        frmMain *w = openWindow();
        w->Browser->Navigate(m_server.url(path));
        [&] { QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), caption, 20000); }();
        [&] { QVERIFY(UserInput::focus(w)); }();
        return w;
    }

    LocalServer m_server;
    std::unique_ptr<TempIni> m_ini;
};

void TestPageLimits::propertiesShowTheRealAddressUnderAForgedTitle()
{
    const QByteArray forged = "<h1 style='color:#ff0000'>Address: https://www.mybank.example/login</h1>";
    m_server.page(QStringLiteral("/forged.html"), "<title>" + QString::fromUtf8(forged).toHtmlEscaped().toUtf8() + "</title>");
    openOn(QStringLiteral("/forged.html"), QString::fromUtf8(forged) + QStringLiteral(" - Kestrel"));
    UserInput::keys(QStringLiteral("alt+f r"));
    QMessageBox *box = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((box = shown<QMessageBox>(QStringLiteral("PropertiesBox"))), 10000);
    QTest::qWait(200);
    QVERIFY2(!hasReddishPixel(box->grab().toImage()), "the title was drawn as markup");
    QStringList addressLines;
    for (const QString &line : box->text().split(QLatin1Char('\n')))
        if (line.contains(QStringLiteral("Address:")) && !line.startsWith(QStringLiteral("Title:")))
            addressLines << line;
    QCOMPARE(addressLines, QStringList{QStringLiteral("Address:\t") + m_server.url(QStringLiteral("/forged.html"))});
    UserInput::keys(QStringLiteral("Return"));
    QTRY_VERIFY(!shown<QMessageBox>(QStringLiteral("PropertiesBox")));
}

void TestPageLimits::popUpsOpenOnlyForTheUsersClick_data()
{
    QTest::addColumn<QString>("popUp");
    QTest::addColumn<int>("windowsPerClick");
    QTest::newRow("accepted") << QString() << 1;
    QTest::newRow("Reject") << QStringLiteral("Reject") << 0;
}

void TestPageLimits::popUpsOpenOnlyForTheUsersClick()
{
    QFETCH(QString, popUp);
    QFETCH(int, windowsPerClick);
    WriteIniValue(QStringLiteral("Settings"), QStringLiteral("PopUp"), popUp);
    m_server.page(QStringLiteral("/storm.html"),
                  "<title>Storm</title><body style='margin:0'>"
                  "<button style='position:absolute;left:0;top:0;width:300px;height:100px'"
                  " onclick=\"for(var i=0;i<20;i++)window.open('/popup.html')\">Open</button>"
                  "<a href='/linked.html' target='_blank' style='position:absolute;left:0;top:200px'>link</a>"
                  "<script>var got=0;for(var i=0;i<50;i++)if(window.open('/p'+i+'.html'))got++;"
                  "document.title='Stormed '+got</script>");
    m_server.page(QStringLiteral("/popup.html"), "<title>Popup</title>");
    m_server.page(QStringLiteral("/linked.html"), "<title>Linked</title>");
    // Every one of the fifty calls is told that no window opened.
    frmMain *w = openOn(QStringLiteral("/storm.html"), QStringLiteral("Stormed 0 - Kestrel"));
    QTest::qWait(1000);
    QCOMPARE(openMainWindows().size(), 1);
    QVERIFY(!m_server.requests.join(QLatin1Char(' ')).contains(QStringLiteral("/p0.html")));

    QWidget *page = w->Browser->widget();
    const int popUps = m_server.hits(QStringLiteral("/popup.html"));
    const int linked = m_server.hits(QStringLiteral("/linked.html"));
    UserInput::click(page, QPoint(100, 50));
    QTest::qWait(1500);
    QCOMPARE(openMainWindows().size(), 1 + windowsPerClick);
    QCOMPARE(m_server.hits(QStringLiteral("/popup.html")), popUps + windowsPerClick);
    if (windowsPerClick) {
        QVERIFY(otherMainWindow(w)->Browser->RegisterAsBrowser());
        QTRY_COMPARE_WITH_TIMEOUT(otherMainWindow(w)->windowTitle(), QStringLiteral("Popup - Kestrel"), 20000);
    }

    QVERIFY(UserInput::focus(w)); // the new window came up over it
    UserInput::click(page, QPoint(10, 208));
    QTest::qWait(1500);
    QCOMPARE(openMainWindows().size(), 1 + 2 * windowsPerClick);
    QCOMPARE(m_server.hits(QStringLiteral("/linked.html")), linked + windowsPerClick);

    // The program's own New Window is no page's request.
    UserInput::keys(QStringLiteral("ctrl+n"));
    QTRY_COMPARE(openMainWindows().size(), 2 + 2 * windowsPerClick);
}

int main(int argc, char **argv)
{
    return runWithRealEngine<TestPageLimits>(argc, argv);
}

#include "tst_e2e_page_limits.moc"
