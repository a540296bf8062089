#include "FavoritesModel.h"

#include "settings/Settings.h"
#include "settings/SettingsWatcher.h"

FavoritesModel::FavoritesModel(QObject *parent)
    : QObject(parent)
{
    connect(SettingsWatcher::instance(), &SettingsWatcher::changed, this, &FavoritesModel::refresh);
    FileStamp stamp;
    m_follower.update(readIniBytes(&stamp));
    markIniFileShown(stamp);
}

void FavoritesModel::refresh()
{
    // Follows the file in use now, should the settings have moved.
    SettingsWatcher::instance();
    if (isIniFileShown(stampOfIniFile()))
        return;
    // Another instance mostly changes one value at a time: the names follow
    // such a change without reading every favorite again.
    FileStamp stamp;
    const FavoritesStore::Rows rows = m_follower.update(readIniBytes(&stamp));
    markIniFileShown(stamp);
    if (rows.any())
        emit changed(rows, false);
}

std::optional<FavoritesModel::Favorite> FavoritesModel::at(int index) const
{
    const IniDocument doc = loadIniFile();
    if (index < 0 || index >= FavoritesStore::count(doc))
        return std::nullopt;
    return Favorite{FavoritesStore::name(doc, index), FavoritesStore::url(doc, index)};
}

bool FavoritesModel::add(const QString &name, const QString &url, QString *error)
{
    return change([&](IniDocument &doc) { return FavoritesStore::add(doc, name, url); }, error);
}

bool FavoritesModel::update(int index, const QString &name, const QString &url, QString *error)
{
    return change([&](IniDocument &doc) { return FavoritesStore::update(doc, index, name, url); }, error);
}

bool FavoritesModel::remove(int index, const Favorite &expected, QString *error)
{
    // What is deleted is the favorite the user was shown, even if the file
    // changed since.
    return change(
        [&](IniDocument &doc) {
            if (FavoritesStore::name(doc, index) != expected.name || FavoritesStore::url(doc, index) != expected.url)
                return FavoritesStore::Result::OutOfRange;
            return FavoritesStore::remove(doc, index);
        },
        error);
}

// The names are rebuilt from the document just written, which is what the
// file now holds; a failed write leaves the file as it was, so then they are
// read from the file.
bool FavoritesModel::change(const std::function<FavoritesStore::Result(IniDocument &)> &op, QString *error)
{
    FavoritesStore::Result result = FavoritesStore::Result::Done;
    QStringList names = m_follower.names();
    FileStamp stamp;
    const bool written = updateIniFile(
        [&](IniDocument &doc) {
            result = op(doc);
            names = FavoritesStore::names(doc, names);
            return result == FavoritesStore::Result::Done;
        },
        error, &stamp);
    if (written) {
        markIniFileShown(stamp);
        emit changed(m_follower.replace(names), true);
    } else {
        refresh();
    }
    if (written && result == FavoritesStore::Result::Full) {
        if (error)
            *error = QStringLiteral("The favorites list is full: it holds %1 favorites.").arg(FavoritesStore::kMaxFavorites);
        return false;
    }
    return written;
}
