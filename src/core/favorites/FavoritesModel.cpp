#include "FavoritesModel.h"

#include "settings/SettingsWatcher.h"

void FavoritesModel::ShownVersion::set(const FileStamp &stamp)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    m_stamp = stamp;
    m_known = true;
}

bool FavoritesModel::ShownVersion::is(const FileStamp &stamp) const
{
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_known && m_stamp == stamp;
}

void FavoritesModel::ShownVersion::replaced(const FileStamp &before, const FileStamp &after)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    if (m_known && m_stamp == before)
        m_stamp = after;
}

FavoritesModel::FavoritesModel(QObject *parent)
    : QObject(parent)
{
    connect(SettingsWatcher::instance(), &SettingsWatcher::changed, this, &FavoritesModel::refresh);
    connect(IniWriteNotifier::instance(), &IniWriteNotifier::replaced, this,
            [this](const FileStamp &before, const FileStamp &after) { m_shown.replaced(before, after); },
            Qt::DirectConnection);
}

const QStringList &FavoritesModel::names() const
{
    // Nothing is read until a list asks: most windows start with the
    // sidebar closed, and 32767 names cost start-up what a page costs.
    if (!m_loaded) {
        // Watched from now on, should the settings have moved.
        SettingsWatcher::instance();
        readNames();
        m_loaded = true;
    }
    return m_follower.names();
}

void FavoritesModel::refresh()
{
    // Follows the file in use now, should the settings have moved.
    SettingsWatcher::instance();
    // Until a list has asked for the names there is nothing to follow.
    if (!m_loaded || m_shown.is(stampOfIniFile()))
        return;
    const FavoritesStore::Rows rows = readNames();
    if (rows.any())
        emit changed(rows, false);
}

// Another instance mostly changes one value at a time: the names follow
// such a change without reading every favorite again.
FavoritesStore::Rows FavoritesModel::readNames() const
{
    FileStamp stamp;
    const FavoritesStore::Rows rows = m_follower.update(readIniBytes(&stamp));
    m_shown.set(stamp);
    return rows;
}

std::optional<FavoritesModel::Favorite> FavoritesModel::at(int index) const
{
    const IniDocument doc = loadIniFile();
    if (index < 0 || index >= FavoritesStore::count(doc))
        return std::nullopt;
    return Favorite{FavoritesStore::name(doc, index), FavoritesStore::url(doc, index)};
}

int FavoritesModel::indexOf(const Favorite &wanted, int near) const
{
    return FavoritesStore::find(loadIniFile(), wanted.name, wanted.url, near);
}

bool FavoritesModel::add(const QString &name, const QString &url, QString *error)
{
    return change([&](IniDocument &doc) { return FavoritesStore::add(doc, name, url); },
                  [](QStringList &names, const IniDocument &doc) {
                      names.append(FavoritesStore::name(doc, int(names.size())));
                      return true;
                  },
                  error)
           == Outcome::Done;
}

FavoritesModel::Outcome FavoritesModel::update(int index, const Favorite &expected, const QString &name,
                                               const QString &url, QString *error)
{
    int found = -1;
    return change(
        [&](IniDocument &doc) {
            found = FavoritesStore::find(doc, expected.name, expected.url, index);
            return found < 0 ? FavoritesStore::Result::OutOfRange : FavoritesStore::update(doc, found, name, url);
        },
        [&found](QStringList &names, const IniDocument &doc) {
            if (found < 0 || found >= names.size())
                return false;
            names[found] = FavoritesStore::name(doc, found);
            return true;
        },
        error);
}

FavoritesModel::Outcome FavoritesModel::remove(int index, const Favorite &expected, QString *error)
{
    // What is deleted is the favorite the user was shown, wherever it is now.
    int found = -1;
    return change(
        [&](IniDocument &doc) {
            found = FavoritesStore::find(doc, expected.name, expected.url, index);
            return found < 0 ? FavoritesStore::Result::OutOfRange : FavoritesStore::remove(doc, found);
        },
        [&found](QStringList &names, const IniDocument &doc) {
            if (found < 0 || found >= names.size())
                return false;
            names.removeAt(found);
            return found == names.size() || FavoritesStore::name(doc, found) == names.at(found);
        },
        error);
}

// The names follow the document just written, which is what the file now
// holds. When it was read as the version the names were taken from, the
// operation says which rows it touched and only those are read again;
// reading 32767 names would cost more than writing the file. A failed write
// leaves the file as it was, so then the names are read from the file.
FavoritesModel::Outcome FavoritesModel::change(const std::function<FavoritesStore::Result(IniDocument &)> &op,
                                               const Follow &follow, QString *error)
{
    FavoritesStore::Result result = FavoritesStore::Result::Done;
    QStringList names;
    FileStamp stamp;
    const bool written = updateIniFile(
        [&](IniDocument &doc) {
            const bool known = m_loaded && m_shown.is(stamp);
            result = op(doc);
            const bool done = result == FavoritesStore::Result::Done;
            names = m_follower.names();
            if (!known || (done && !follow(names, doc)) || FavoritesStore::count(doc) != names.size())
                names = FavoritesStore::names(doc, m_follower.names());
            return done;
        },
        error, &stamp);
    if (written) {
        m_shown.set(stamp);
        m_loaded = true;
        emit changed(m_follower.replace(names), true);
    } else {
        refresh();
    }
    if (!written)
        return Outcome::NotSaved;
    switch (result) {
    case FavoritesStore::Result::Done:
        return Outcome::Done;
    case FavoritesStore::Result::Full:
        if (error)
            *error = QStringLiteral("The favorites list is full: it holds %1 favorites.").arg(FavoritesStore::kMaxFavorites);
        return Outcome::NotSaved;
    case FavoritesStore::Result::OutOfRange:
        break;
    }
    return Outcome::Gone;
}
