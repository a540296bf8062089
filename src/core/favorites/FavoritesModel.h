#pragma once

#include "FavoritesStore.h"
#include "settings/Settings.h"

#include <QObject>
#include <QStringList>
#include <mutex>
#include <optional>

// The favorites as the user works with them. Every change goes through the
// settings file; changed() follows each one, this program's or one found on
// disk, so that every list showing them can follow.
class FavoritesModel : public QObject
{
    Q_OBJECT
public:
    struct Favorite
    {
        QString name, url;
        bool operator==(const Favorite &o) const { return name == o.name && url == o.url; }
    };

    explicit FavoritesModel(QObject *parent = nullptr);

    // The names as the file last held them, in order; read the first time
    // they are asked for.
    const QStringList &names() const;
    // Reads the file again when it changed since the names were taken.
    void refresh();

    // The favorite at `index` as the file holds it now, if there is one.
    std::optional<Favorite> at(int index) const;
    // Where `wanted` is in the file now, the one nearest to `near` when there
    // are several; -1 when it is gone.
    int indexOf(const Favorite &wanted, int near) const;

    // What became of a change to a favorite that another program may have
    // moved, changed or deleted meanwhile.
    enum class Outcome {
        Done,
        Gone,     // the favorite is no longer in the file: nothing was changed
        NotSaved, // the file could not be written; the error says why
    };

    // Returns false when the favorite could not be stored; `error` then says
    // why, in words for the user.
    bool add(const QString &name, const QString &url, QString *error = nullptr);
    // Changes or deletes the favorite `expected` where it is now, looked for
    // from `index` on: another program may have moved it.
    Outcome update(int index, const Favorite &expected, const QString &name, const QString &url,
                   QString *error = nullptr);
    Outcome remove(int index, const Favorite &expected, QString *error = nullptr);

signals:
    // The names in `rows` changed, or a change was made here. A change made
    // here moves rows the user may have selected: a list shown before it
    // should drop its selection.
    void changed(const FavoritesStore::Rows &rows, bool madeHere);

private:
    // Brings `names` from before an operation to after it, given the
    // document after it; false when it cannot tell.
    using Follow = std::function<bool(QStringList &names, const IniDocument &doc)>;
    Outcome change(const std::function<FavoritesStore::Result(IniDocument &)> &op, const Follow &follow,
                   QString *error);
    // Reads the file into the names; the rows that changed.
    FavoritesStore::Rows readNames() const;

    // The version of the file the names were taken from. This program's own
    // writes move it along when they replace exactly that version (on the
    // thread that writes), so they do not make the names be read again.
    class ShownVersion
    {
    public:
        void set(const FileStamp &stamp);
        bool is(const FileStamp &stamp) const;
        void replaced(const FileStamp &before, const FileStamp &after);

    private:
        mutable std::mutex m_mutex;
        FileStamp m_stamp;
        bool m_known = false;
    };

    mutable FavoritesStore::NamesFollower m_follower;
    mutable ShownVersion m_shown;
    mutable bool m_loaded = false;
};
