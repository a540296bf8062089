#include "downloads/DownloadNames.h"

#include <QtTest>

namespace {
// Room for a name in a folder whose names may have 255 bytes, less the partial file's ".download".
constexpr int kRoom = 246;
} // namespace

// The names downloads are saved under: what a server or a page suggests is
// cleaned of what would disguise or hide the file, fits the disk, and never
// lands on another download's name.
class TestDownloadNames : public QObject
{
    Q_OBJECT
private slots:
    void clean_data();
    void clean();
    void numbered_data();
    void numbered();
    void reserve_data();
    void reserve();
};

void TestDownloadNames::clean_data()
{
    QTest::addColumn<QString>("suggested");
    QTest::addColumn<QString>("saved");
    const QString a300(300, QLatin1Char('a'));
    QTest::newRow("plain") << QStringLiteral("statement.pdf") << QStringLiteral("statement.pdf");
    QTest::newRow("not ASCII") << QStringLiteral("Übersicht März 東京.pdf") << QStringLiteral("Übersicht März 東京.pdf");
    QTest::newRow("right-to-left override") << QStringLiteral("invoice\u202Efdp.exe") << QStringLiteral("invoicefdp.exe");
    QTest::newRow("override in the extension") << QStringLiteral("photo.j\u202Epg") << QStringLiteral("photo.jpg");
    QTest::newRow("isolates and marks") << QStringLiteral("a\u2066b\u2069\u200Fc\u061C.txt") << QStringLiteral("abc.txt");
    QTest::newRow("zero width") << QStringLiteral("pay\u200Bpa\uFEFFl.html") << QStringLiteral("paypal.html");
    QTest::newRow("controls") << QStringLiteral("a\u0001\u007Fb\u009B\u0000.txt") << QStringLiteral("ab.txt");
    QTest::newRow("line breaks and tabs") << QStringLiteral("one\ntwo\r\nthree\u2028four\tfive.txt")
                                          << QStringLiteral("one two three four five.txt");
    QTest::newRow("padding before the real extension") << QStringLiteral("invoice.pdf                    .exe")
                                                       << QStringLiteral("invoice.pdf .exe");
    QTest::newRow("hidden file") << QStringLiteral(".bashrc") << QStringLiteral("bashrc");
    QTest::newRow("dots and spaces before") << QStringLiteral(" . ..profile") << QStringLiteral("profile");
    QTest::newRow("dots and spaces after") << QStringLiteral("notes.txt. . ") << QStringLiteral("notes.txt");
    QTest::newRow("control then dot") << QStringLiteral("\u202E.hidden") << QStringLiteral("hidden");
    QTest::newRow("path") << QStringLiteral("../../etc/passwd") << QStringLiteral("_.._etc_passwd");
    QTest::newRow("backslash") << QStringLiteral("a\\b.txt") << QStringLiteral("a_b.txt");
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) + QStringLiteral("x.txt") << QStringLiteral("x.txt");
    for (const char *empty : {"", ".", "..", "...", "  ", "\u202E\u200B", ". . ."})
        QTest::newRow(qPrintable(QStringLiteral("nothing left: '%1'").arg(QString::fromUtf8(empty))))
            << QString::fromUtf8(empty) << QStringLiteral("download");
    QTest::newRow("long, extension kept") << a300 + QStringLiteral(".pdf") << a300.left(kRoom - 4) + QStringLiteral(".pdf");
    QTest::newRow("long, compound extension kept") << a300 + QStringLiteral(".tar.gz")
                                                   << a300.left(kRoom - 7) + QStringLiteral(".tar.gz");
    QTest::newRow("long two-byte letters") << QString(200, QChar(0xE9)) + QStringLiteral(".pdf")
                                           << QString(121, QChar(0xE9)) + QStringLiteral(".pdf");
    QString emoji;
    for (int i = 0; i < 100; ++i)
        emoji += QStringLiteral("\U0001F600");
    QTest::newRow("long, never half a character") << emoji + QStringLiteral(".txt")
                                                  << emoji.left(2 * 60) + QStringLiteral(".txt");
    QTest::newRow("long ending is no extension") << QStringLiteral("a.") + a300 << QStringLiteral("a.") + a300.left(kRoom - 2);
    QTest::newRow("cut leaves no trailing space") << a300.left(kRoom - 1) + QStringLiteral(" bcd")
                                                  << a300.left(kRoom - 1);
}

void TestDownloadNames::clean()
{
    QFETCH(QString, suggested);
    QFETCH(QString, saved);
    const QString got = DownloadName::clean(suggested, kRoom);
    QCOMPARE(got, saved);
    QVERIFY(got.toUtf8().size() <= kRoom);
}

void TestDownloadNames::numbered_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("result");
    QTest::newRow("first") << QStringLiteral("report.pdf") << 0 << QStringLiteral("report.pdf");
    QTest::newRow("before the extension") << QStringLiteral("report.pdf") << 1 << QStringLiteral("report (1).pdf");
    QTest::newRow("before a compound extension") << QStringLiteral("data.tar.gz") << 2 << QStringLiteral("data (2).tar.gz");
    QTest::newRow("no extension") << QStringLiteral("README") << 3 << QStringLiteral("README (3)");
    QTest::newRow("dot in the words") << QStringLiteral("v1.2 notes") << 1 << QStringLiteral("v1.2 notes (1)");
    QTest::newRow("long name makes room") << QString(kRoom - 4, QLatin1Char('a')) + QStringLiteral(".pdf") << 12
                                          << QString(kRoom - 9, QLatin1Char('a')) + QStringLiteral(" (12).pdf");
}

void TestDownloadNames::numbered()
{
    QFETCH(QString, name);
    QFETCH(int, n);
    QFETCH(QString, result);
    QCOMPARE(DownloadName::numbered(name, n, kRoom), result);
}

void TestDownloadNames::reserve_data()
{
    QTest::addColumn<QStringList>("onDisk");
    QTest::addColumn<QStringList>("names");   // reserved in turn; "-path" releases instead
    QTest::addColumn<QStringList>("paths");   // what each reservation gave
    const QString pdf = QStringLiteral("statement.pdf");
    QTest::newRow("at once, one name each")
        << QStringList() << QStringList{pdf, pdf, pdf}
        << QStringList{"/d/statement.pdf", "/d/statement (1).pdf", "/d/statement (2).pdf"};
    QTest::newRow("files already there")
        << QStringList{"/d/statement.pdf", "/d/statement (1).pdf"} << QStringList{pdf, pdf}
        << QStringList{"/d/statement (2).pdf", "/d/statement (3).pdf"};
    QTest::newRow("a partial file left behind")
        << QStringList{"/d/statement.pdf.download"} << QStringList{pdf} << QStringList{"/d/statement (1).pdf"};
    QTest::newRow("a released name is free again")
        << QStringList() << QStringList{pdf, pdf, "-/d/statement.pdf", pdf}
        << QStringList{"/d/statement.pdf", "/d/statement (1).pdf", "/d/statement.pdf"};
    QTest::newRow("a name that is another's partial file")
        << QStringList() << QStringList{pdf, "statement.pdf.download"}
        << QStringList{"/d/statement.pdf", "/d/statement.pdf (1).download"};
    QTest::newRow("a partial file that is another's name")
        << QStringList() << QStringList{"statement.pdf.download", pdf}
        << QStringList{"/d/statement.pdf.download", "/d/statement (1).pdf"};
    QTest::newRow("names differ only in case") << QStringList() << QStringList{pdf, "Statement.pdf"}
                                                << QStringList{"/d/statement.pdf", "/d/Statement.pdf"};
}

void TestDownloadNames::reserve()
{
    QFETCH(QStringList, onDisk);
    QFETCH(QStringList, names);
    QFETCH(QStringList, paths);
    DownloadNames reserved([&onDisk](const QString &path) { return onDisk.contains(path); },
                           QStringLiteral(".download"));
    QStringList got;
    for (const QString &name : names) {
        if (name.startsWith(QLatin1Char('-')))
            reserved.release(name.mid(1));
        else
            got << reserved.reserve(QStringLiteral("/d"), name, kRoom);
    }
    QCOMPARE(got, paths);
    // Another folder has names of its own.
    const QString pdf = QStringLiteral("statement.pdf");
    QCOMPARE(reserved.reserve(QStringLiteral("/e"), pdf, kRoom), QStringLiteral("/e/statement.pdf"));
    // A folder where every number is taken refuses rather than overwrites.
    DownloadNames full([](const QString &) { return true; }, QStringLiteral(".download"));
    QCOMPARE(full.reserve(QStringLiteral("/d"), pdf, kRoom), QString());
}

QTEST_GUILESS_MAIN(TestDownloadNames)
#include "tst_download_names.moc"
