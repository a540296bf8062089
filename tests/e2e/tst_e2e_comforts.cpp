#include "EngineTest.h"

#include "window/StatusPanels.h"

#include <QLineEdit>
#include <QMenu>
#include <QPdfWriter>
#include <QPainter>
#include <QPrintDialog>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QWindow>

namespace {

// The text poppler reads from a PDF file, as a user's search or copy would.
QString textOf(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    return p.waitForFinished(30000) ? QString::fromUtf8(p.readAllStandardOutput()).simplified() : QString();
}

// A one-page PDF holding `text`.
QByteArray pdfWith(const QString &text)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        QPainter painter(&writer);
        QFont font = painter.font();
        font.setPointSize(24);
        painter.setFont(font);
        painter.drawText(QRect(0, 0, writer.width(), writer.height() / 4), Qt::AlignCenter, text);
    }
    return buffer.data();
}

QString statusOf(MainWindow *w)
{
    return control<StatusPanels>(w, "StatusBar")->panelText(1);
}

} // namespace

// Everyday comforts of the real engine: PDFs shown in the window, printing
// to a file with its text, a page's own print button, the history.
class TestComforts : public EngineTest
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_files.isValid());
        // The dictionaries the build made lie beside the program, which this test is not.
        qputenv("QTWEBENGINE_DICTIONARIES_PATH",
                QFile::encodeName(QFileInfo(qEnvironmentVariable("KESTREL_BIN")).dir().filePath(
                    QStringLiteral("qtwebengine_dictionaries"))));
    }
    void historyFindsAPageByAWordOfItsTitle();
    void printToFileWritesTheText();
    void pagePrintLoopOpensOneDialogPerClick();
    void pdfLinkShowsThePdfAndPrintsItsText();
    void misspeltWordGetsSuggestionsInTheContextMenu();

private:
    // Ctrl+P, the output file typed into the print dialog, Enter; empty when done.
    QString printToFile(const QString &path);

    QTemporaryDir m_files;
};

QString TestComforts::printToFile(const QString &path)
{
    auto dialog = [] { return shown<QPrintDialog>(QStringLiteral("PrintDialog")); };
    UserSteps steps;
    steps.then([] { return User::key(QStringLiteral("ctrl+p")), true; })
        .then([&] {
            QPrintDialog *d = dialog();
            auto *name = d ? d->findChild<QLineEdit *>(QStringLiteral("filename")) : nullptr;
            if (!name || !name->isVisible() || !name->isEnabled() || !d->windowHandle()->isExposed())
                return false;
            User::click(name);
            User::key(QStringLiteral("ctrl+a"));
            User::type(path);
            return true;
        })
        .then([&] { return dialog() ? (User::key(QStringLiteral("Return")), false) : true; });
    return steps.run() ? QString() : steps.failure;
}

void TestComforts::historyFindsAPageByAWordOfItsTitle()
{
    server.page(QStringLiteral("/falcons.html"), "<title>Hawks and Falcons</title>");
    server.page(QStringLiteral("/tea.html"), "<title>Tea</title>");
    // A page renaming itself without end leaves one entry.
    server.page(QStringLiteral("/busy.html"),
                "<title>Busy</title><script>var n=0;setInterval(function(){document.title='Busy '+(++n)},1)</script>");
    MainWindow *w = openOn(QStringLiteral("/falcons.html"), QStringLiteral("Hawks and Falcons - Kestrel"));
    w->open(server.url(QStringLiteral("/busy.html")));
    QTRY_VERIFY_WITH_TIMEOUT(w->windowTitle().startsWith(QStringLiteral("Busy 2")), 20000);
    w->open(server.url(QStringLiteral("/tea.html")));
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Tea - Kestrel"), 20000);
    const int hits = server.hits(QStringLiteral("/falcons.html"));

    User::key(QStringLiteral("ctrl+h"));
    QWidget *history = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((history = shown<QWidget>(QStringLiteral("frmHistory"))), 10000);
    auto *list = control<QTreeWidget>(history, "lstHistory");
    QTRY_COMPARE_WITH_TIMEOUT(list->topLevelItemCount(), 3, 10000);
    QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("Tea"));
    QVERIFY(list->topLevelItem(1)->text(0).startsWith(QStringLiteral("Busy ")));
    // The box has the keyboard: typed into, Enter opens the first match.
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), control<QWidget>(history, "txtHistorySearch"), 10000);
    User::type(QStringLiteral("falcons"));
    User::key(QStringLiteral("Return"));
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Hawks and Falcons - Kestrel"), 20000);
    QCOMPARE(server.hits(QStringLiteral("/falcons.html")), hits + 1);
    QCOMPARE(list->topLevelItemCount(), 1);
    history->close();
}

void TestComforts::printToFileWritesTheText()
{
    server.page(QStringLiteral("/print.html"), "<title>Printable</title><h1>Migrating kestrels hover</h1>");
    MainWindow *w = openOn(QStringLiteral("/print.html"), QStringLiteral("Printable - Kestrel"));
    const QString pdf = m_files.filePath(QStringLiteral("page.pdf"));
    QCOMPARE(printToFile(pdf), QString());
    QTRY_VERIFY_WITH_TIMEOUT(textOf(pdf).contains(QStringLiteral("Migrating kestrels hover")), 30000);
    QTRY_COMPARE_WITH_TIMEOUT(statusOf(w), QStringLiteral("Printed to ") + pdf, 10000);
}

void TestComforts::pagePrintLoopOpensOneDialogPerClick()
{
    server.page(QStringLiteral("/loop.html"),
                "<title>Print Loop</title><body style='margin:0'>"
                "<button style='width:100vw;height:100vh' onclick='for(var i=0;i<20;i++)window.print()'>Print</button>"
                "<script>setTimeout(function(){window.print()},200)</script>");
    MainWindow *w = openOn(QStringLiteral("/loop.html"), QStringLiteral("Print Loop - Kestrel"));
    // Asked before any click: refused, in words.
    QTRY_VERIFY_WITH_TIMEOUT(statusOf(w).contains(QStringLiteral("refused")), 10000);
    QVERIFY(!shown<QPrintDialog>(QStringLiteral("PrintDialog")));
    int dialogs = 0;
    for (int click = 0; click < 2; ++click) {
        UserSteps steps;
        steps.then([&] { return User::click(w->view()->widget()), true; })
            .then([&] {
                QPrintDialog *d = shown<QPrintDialog>(QStringLiteral("PrintDialog"));
                if (!d || !d->windowHandle()->isExposed())
                    return false;
                ++dialogs;
                User::key(QStringLiteral("Escape"));
                return true;
            })
            // The other nineteen find the user has not acted since.
            .then([&] { return !shown<QPrintDialog>(QStringLiteral("PrintDialog")); });
        QVERIFY2(steps.run(), qPrintable(steps.failure));
        QTest::qWait(1500);
        QVERIFY(!shown<QPrintDialog>(QStringLiteral("PrintDialog")));
    }
    QCOMPARE(dialogs, 2);
}

void TestComforts::pdfLinkShowsThePdfAndPrintsItsText()
{
    server.page(QStringLiteral("/count.pdf"), pdfWith(QStringLiteral("Annual kestrel count")), "application/pdf");
    server.page(QStringLiteral("/reports.html"),
                "<title>Reports</title><body style='margin:0'>"
                "<a href='/count.pdf' style='display:block;width:100vw;height:100vh;background:#30a050'>Count</a>");
    MainWindow *w = openOn(QStringLiteral("/reports.html"), QStringLiteral("Reports - Kestrel"));
    User::click(w->view()->widget());
    QTRY_COMPARE_WITH_TIMEOUT(w->view()->address(), server.url(QStringLiteral("/count.pdf")), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(w->windowTitle().contains(QStringLiteral("count.pdf")), 20000);
    // The viewer is drawn where the link page was.
    QTRY_VERIFY_WITH_TIMEOUT(User::count(User::look(w->view()->widget()), QColor(0x30, 0xa0, 0x50)) == 0, 20000);
    const QDir downloads(QStandardPaths::writableLocation(QStandardPaths::DownloadLocation));
    QVERIFY(downloads.entryList(QDir::Files).isEmpty());

    const QString printed = m_files.filePath(QStringLiteral("count.pdf"));
    QVERIFY(User::focus(w));
    QCOMPARE(printToFile(printed), QString());
    QTRY_VERIFY_WITH_TIMEOUT(textOf(printed).contains(QStringLiteral("Annual kestrel count")), 30000);
    QVERIFY(downloads.entryList(QDir::Files).isEmpty());
}

void TestComforts::misspeltWordGetsSuggestionsInTheContextMenu()
{
    server.page(QStringLiteral("/note.html"),
                "<title>Note</title><body style='margin:0'>"
                "<textarea style='width:400px;height:100px;font-size:30px'></textarea>");
    MainWindow *w = openOn(QStringLiteral("/note.html"), QStringLiteral("Note - Kestrel"));
    User::click(w->view()->widget(), QPoint(100, 50));
    User::type(QStringLiteral("helo "));
    QTest::qWait(1500); // the checker marks the word a moment later
    QStringList items;
    UserSteps steps;
    steps.then([&] { return User::click(w->view()->widget(), QPoint(30, 20), 3), true; })
        .then([&] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (!menu || !menu->isVisible())
                return false;
            for (QAction *a : menu->actions())
                items << a->text();
            return true;
        })
        .then([&] { return User::key(QStringLiteral("Escape")), true; });
    QVERIFY2(steps.run(), qPrintable(steps.failure));
    QVERIFY2(items.contains(QStringLiteral("hello")), qPrintable(items.join(QLatin1Char('|'))));
}

int main(int argc, char **argv)
{
    return runWithRealEngine<TestComforts>(argc, argv);
}

#include "tst_e2e_comforts.moc"
