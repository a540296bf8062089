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

bool FavoritesModel::add(const QString &name, const QString &url, QString *error)
{
    return change([&](IniDocument &doc) { return FavoritesStore::add(doc, name, url); },
                  [](QStringList &names, const IniDocument &doc) {
                      names.append(FavoritesStore::name(doc, int(names.size())));
                      return true;
                  },
                  error);
}

bool FavoritesModel::update(int index, const QString &name, const QString &url, QString *error)
{
    return change([&](IniDocument &doc) { return FavoritesStore::update(doc, index, name, url); },
                  [index](QStringList &names, const IniDocument &doc) {
                      if (index < 0 || index >= names.size())
                          return false;
                      names[index] = FavoritesStore::name(doc, index);
                      return true;
                  },
                  error);
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
        [index](QStringList &names, const IniDocument &doc) {
            if (index < 0 || index >= names.size())
                return false;
            names.removeAt(index);
            return index == names.size() || FavoritesStore::name(doc, index) == names.at(index);
        },
        error);
}

// The names follow the document just written, which is what the file now
// holds. When it was read as the version the names were taken from, the
// operation says which rows it touched and only those are read again;
// reading 32767 names would cost more than writing the file. A failed write
// leaves the file as it was, so then the names are read from the file.
bool FavoritesModel::change(const std::function<FavoritesStore::Result(IniDocument &)> &op, const Follow &follow,
                            QString *error)
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
    if (written && result == FavoritesStore::Result::Full) {
        if (error)
            *error = QStringLiteral("The favorites list is full: it holds %1 favorites.").arg(FavoritesStore::kMaxFavorites);
        return false;
    }
    return written;
}
