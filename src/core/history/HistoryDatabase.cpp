#include "HistoryDatabase.h"

#include "HistoryLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

Q_LOGGING_CATEGORY(lcHistory, "kestrel.history")

namespace {

// Another Kestrel on the same profile may be writing; it is waited for.
constexpr int kBusyWaitMs = 5000;

QString failure(const QSqlError &e)
{
    return e.text().isEmpty() ? QStringLiteral("unknown database error") : e.text();
}

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

// The LIKE pattern for a word: the word's own % and _ match only themselves.
QString likePattern(QString word)
{
    word.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    word.replace(QLatin1Char('%'), QStringLiteral("\\%"));
    word.replace(QLatin1Char('_'), QStringLiteral("\\_"));
    return QLatin1Char('%') + word + QLatin1Char('%');
}

} // namespace

HistoryDatabase::HistoryDatabase(const QString &path)
    : m_path(path), m_connection(QStringLiteral("kestrel-history-%1").arg(quintptr(this)))
{
}

HistoryDatabase::~HistoryDatabase()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        if (db.isOpen())
            db.close();
    }
    if (QSqlDatabase::contains(m_connection))
        QSqlDatabase::removeDatabase(m_connection);
}

bool HistoryDatabase::open(QString *error)
{
    if (!QDir().mkpath(QFileInfo(m_path).absolutePath()))
        return fail(error, QStringLiteral("the folder of %1 cannot be created").arg(m_path));
    if (prepare(error))
        return true;
    // A file SQLite cannot read as a database: keep it for whoever wants to
    // look, and start again.
    if (!QFileInfo::exists(m_path))
        return false;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    const QString aside = m_path + QStringLiteral(".broken");
    QFile::remove(aside);
    if (!QFile::rename(m_path, aside))
        return false;
    for (const char *suffix : {"-wal", "-shm"})
        QFile::remove(m_path + QLatin1String(suffix));
    qCWarning(lcHistory, "%s could not be read (%s); it was moved to %s and a new history begun", qPrintable(m_path),
              qPrintable(error ? *error : QString()), qPrintable(aside));
    return prepare(error);
}

bool HistoryDatabase::prepare(QString *error)
{
    QSqlDatabase db = QSqlDatabase::contains(m_connection)
                          ? QSqlDatabase::database(m_connection, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    if (!db.isValid())
        return fail(error, QStringLiteral("the SQLite driver of Qt is not installed"));
    db.setDatabaseName(m_path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyWaitMs));
    if (!db.open())
        return fail(error, failure(db.lastError()));
    QSqlQuery q(db);
    // The write-ahead log: a reader never waits for the writer, and a write
    // that did not finish is rolled back when the file is next opened.
    const char *const setup[] = {
        "PRAGMA journal_mode=WAL",
        "PRAGMA synchronous=NORMAL",
        "CREATE TABLE IF NOT EXISTS pages (address TEXT PRIMARY KEY NOT NULL, title TEXT NOT NULL DEFAULT '',"
        " visited INTEGER NOT NULL)",
        "CREATE INDEX IF NOT EXISTS pages_by_time ON pages (visited)",
    };
    for (const char *statement : setup) {
        if (!q.exec(QString::fromLatin1(statement))) {
            const QString text = failure(q.lastError());
            db.close();
            return fail(error, text);
        }
    }
    return true;
}

bool HistoryDatabase::write(const HistoryEntries &visits, QString *error)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.isOpen())
        return fail(error, QStringLiteral("the history is not open"));
    if (!db.transaction())
        return fail(error, failure(db.lastError()));
    QSqlQuery q(db);
    q.prepare(QStringLiteral(
        "INSERT INTO pages (address, title, visited) VALUES (?, ?, ?) ON CONFLICT (address) DO UPDATE SET"
        " title = CASE WHEN excluded.title <> '' THEN excluded.title ELSE title END,"
        " visited = max(visited, excluded.visited)"));
    for (const HistoryEntry &visit : visits) {
        q.addBindValue(visit.address);
        // A missing title is an empty one, not NULL.
        q.addBindValue(visit.title.isNull() ? QString(QLatin1String("")) : visit.title);
        q.addBindValue(visit.visited.toMSecsSinceEpoch());
        if (!q.exec()) {
            const QString text = failure(q.lastError());
            db.rollback();
            return fail(error, text);
        }
    }
    if (!db.commit()) {
        const QString text = failure(db.lastError());
        db.rollback();
        return fail(error, text);
    }
    return true;
}

HistoryEntries HistoryDatabase::find(const QString &words, int limit, QString *error) const
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.isOpen()) {
        fail(error, QStringLiteral("the history is not open"));
        return {};
    }
    const QStringList parts = words.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    QString sql = QStringLiteral("SELECT address, title, visited FROM pages");
    for (int i = 0; i < parts.size(); ++i) {
        sql += i == 0 ? QStringLiteral(" WHERE") : QStringLiteral(" AND");
        sql += QStringLiteral(" (title LIKE ? ESCAPE '\\' OR address LIKE ? ESCAPE '\\')");
    }
    sql += QStringLiteral(" ORDER BY visited DESC LIMIT ?");
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(sql);
    for (const QString &word : parts) {
        q.addBindValue(likePattern(word));
        q.addBindValue(likePattern(word));
    }
    q.addBindValue(limit);
    HistoryEntries out;
    if (!q.exec()) {
        fail(error, failure(q.lastError()));
        return out;
    }
    while (q.next())
        out.append({q.value(0).toString(), q.value(1).toString(),
                    QDateTime::fromMSecsSinceEpoch(q.value(2).toLongLong())});
    return out;
}

bool HistoryDatabase::remove(const QStringList &addresses, QString *error)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.isOpen() || !db.transaction())
        return fail(error, failure(db.lastError()));
    QSqlQuery q(db);
    q.prepare(QStringLiteral("DELETE FROM pages WHERE address = ?"));
    for (const QString &address : addresses) {
        q.addBindValue(address);
        if (!q.exec()) {
            const QString text = failure(q.lastError());
            db.rollback();
            return fail(error, text);
        }
    }
    return db.commit() || fail(error, failure(db.lastError()));
}

bool HistoryDatabase::clear(QString *error)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery q(db);
    if (!db.isOpen() || !q.exec(QStringLiteral("DELETE FROM pages")))
        return fail(error, failure(q.lastError()));
    // What was cleared does not linger in the file's free pages.
    q.exec(QStringLiteral("VACUUM"));
    q.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    return true;
}
