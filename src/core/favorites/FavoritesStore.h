#pragma once

#include "settings/IniDocument.h"

#include <QString>
#include <QStringList>
#include <vector>

// The favorites as they lie in the settings file: a count under
// [Favorites] Number and one section per favorite, "0" to count-1, with the
// keys Name and URL. These functions work on a document so that one
// operation reads the file once and writes it at most once.
namespace FavoritesStore {

constexpr int kMaxFavorites = 32767;

// The stored count, or -1 when it is missing, empty, not a whole number or
// outside 0..32767.
int parseCount(const QString &text);
// The stored count when sections 0..count-1 all exist; otherwise the number
// of sections "0", "1", ... that exist in a row.
int count(const IniDocument &doc);

// The names of sections 0..count-1, in order; a missing name is empty.
// `previous`, the names as last read, only saves making the same text again.
QStringList names(const IniDocument &doc, const QStringList &previous = {});

// Which rows of a list of names changed: from `first` on, `removed` rows
// gave way to `added` new ones.
struct Rows
{
    int first = 0, removed = 0, added = 0;
    bool any() const { return removed > 0 || added > 0; }
};
// The rows that differ between two lists, found from both ends; names kept
// as they were share their text, which makes the comparison cheap.
Rows rowsBetween(const QStringList &before, const QStringList &after);

// The names of a file that mostly changes a value at a time (another
// instance renaming a favorite or writing LastURL): such a change costs a
// comparison and that one line, not reading every favorite again.
class NamesFollower
{
public:
    // Follows the file to `bytes`: the rows whose names changed.
    Rows update(const QByteArray &bytes);
    // Names this program wrote itself; the next update reads the file whole.
    Rows replace(const QStringList &names);
    // One list only, changed in place: a copy of 32767 names for each
    // holder would cost more than reading the file.
    const QStringList &names() const { return m_names; }

private:
    bool followOneLine(const QByteArray &bytes, Rows *rows);

    bool m_known = false;
    QByteArray m_bytes;
    QStringList m_names;
    std::vector<qsizetype> m_headers; // where each favorite's section starts
};

QString name(const IniDocument &doc, int index);
QString url(const IniDocument &doc, int index);

// Where the favorite with this name and address is, the one nearest to
// `near` when there are several (another program may have moved it); -1 when
// there is none.
int find(const IniDocument &doc, const QString &name, const QString &url, int near);

enum class Result { Done, Full, OutOfRange };

// Appends at the end. Full when the count is already 32767.
Result add(IniDocument &doc, const QString &name, const QString &url);
// Replaces name and address in place; the count does not change.
Result update(IniDocument &doc, int index, const QString &name, const QString &url);
// Moves every later favorite one section down and lowers the count. The
// former last section stays in the file beyond the count.
Result remove(IniDocument &doc, int index);

} // namespace FavoritesStore
