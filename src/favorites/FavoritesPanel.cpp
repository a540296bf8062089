#include "FavoritesPanel.h"

#include "FavoritesStore.h"
#include "frmFavAdd.h"
#include "frmFavEdit.h"

#include "browser/SaveErrorBox.h"
#include "browser/frmMain.h"
#include "settings/Settings.h"
#include "settings/SettingsWatcher.h"

#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

namespace {

QList<QPointer<QListWidget>> &openLists()
{
    static QList<QPointer<QListWidget>> lists;
    return lists;
}

QString rowText(const QListWidget *list, int row)
{
    return list->item(row)->text();
}

// The names a list shows, kept beside it: comparing them is much cheaper
// than asking every row for its text.
const char *const kShownNames = "kestrelShownNames";

// Brings the list to `names`, touching only the rows that differ, so that a
// large list follows a change at the speed of the change. A list whose rows
// moved loses its selection: the selected row may now be another favorite.
void fillList(QListWidget *list, const QStringList &names, bool clearSelection)
{
    const QVariant shown = list->property(kShownNames);
    const QStringList old = shown.isValid() ? shown.toStringList() : QStringList();
    bool changed = !shown.isValid() || old.size() != names.size();
    list->setUpdatesEnabled(false);
    if (names.isEmpty()) {
        if (changed) {
            list->clear();
            list->addItem(QStringLiteral("No Favorites Added"));
            list->setEnabled(false);
        }
    } else {
        if (!list->isEnabled() || !shown.isValid()) {
            list->clear();
            list->setEnabled(true);
        }
        const int oldN = list->count(), newN = int(names.size());
        // Names that were kept share their text: the same data is the same name.
        auto same = [](const QString &x, const QString &y) { return x.constData() == y.constData() || x == y; };
        int p = 0;
        while (p < oldN && p < newN && same(old[p], names[p]))
            ++p;
        int s = 0;
        while (s < oldN - p && s < newN - p && same(old[oldN - 1 - s], names[newN - 1 - s]))
            ++s;
        const int removed = oldN - s - p, added = newN - s - p;
        changed = changed || removed > 0 || added > 0;
        if (removed > 1000) {
            list->clear();
            list->addItems(names);
        } else {
            for (int i = oldN - s - 1; i >= p; --i)
                delete list->takeItem(i);
            if (added > 0)
                list->insertItems(p, names.mid(p, added));
        }
    }
    list->setProperty(kShownNames, names);
    if (changed || clearSelection) {
        list->setCurrentRow(-1);
        list->clearSelection();
    }
    list->setUpdatesEnabled(true);
}

void openFavorite(frmMain *w)
{
    const int index = selectedFavorite(w);
    if (index < 0)
        return;
    // The row must still be the favorite it names; if the file changed
    // under it, the list is brought up to date instead.
    const IniDocument doc = LoadIniFile();
    if (index >= FavoritesStore::count(doc) || FavoritesStore::name(doc, index) != rowText(w->lstFavs, index)) {
        RefreshFavoritesList();
        return;
    }
    w->Browser->navigate(FavoritesStore::url(doc, index));
}

bool change(const std::function<FavoritesStore::Result(IniDocument &)> &op, QString *error);

void confirmDelete(frmMain *w)
{
    const int index = selectedFavorite(w);
    if (index < 0)
        return;
    const IniDocument doc = LoadIniFile();
    const QString url = FavoritesStore::url(doc, index);
    const QString name = FavoritesStore::name(doc, index);
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Delete Favorite"), deletePromptText(name, url),
                    QMessageBox::Yes | QMessageBox::No, w);
    box.setObjectName(QStringLiteral("DeletePrompt"));
    // The name usually comes from a page title.
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Yes);
    if (box.exec() != QMessageBox::Yes)
        return;
    // What is deleted is the favorite the prompt named, even if the file
    // changed while it was open.
    QString error;
    const bool ok = change(
        [&](IniDocument &d) {
            if (FavoritesStore::name(d, index) != name || FavoritesStore::url(d, index) != url)
                return FavoritesStore::Result::OutOfRange;
            return FavoritesStore::remove(d, index);
        },
        &error);
    if (!ok)
        showSaveError(w, error);
}

} // namespace

QString deletePromptText(const QString &name, const QString &url)
{
    return QStringLiteral("Delete ") + name + QStringLiteral(" [") + url + QStringLiteral("]?");
}

int selectedFavorite(const frmMain *w)
{
    const QListWidget *list = w->lstFavs;
    if (!list->isEnabled())
        return -1;
    const QList<QListWidgetItem *> sel = list->selectedItems();
    return sel.isEmpty() ? -1 : list->row(sel.constFirst());
}

void AttachFavoritesPanel(frmMain *w)
{
    static QPointer<SettingsWatcher> following;
    if (following != SettingsWatcher::instance()) {
        following = SettingsWatcher::instance();
        QObject::connect(following, &SettingsWatcher::changed, [] { RefreshFavoritesList(); });
    }
    // Every row is one line of text: the list need not measure each one,
    // which with thousands of favorites would cost more than the file.
    w->lstFavs->setUniformItemSizes(true);
    // Rows below the first screenful are placed a batch at a time once the
    // window is up, so that a long list does not hold back its first paint.
    w->lstFavs->setLayoutMode(QListView::Batched);
    w->lstFavs->setBatchSize(1000);
    openLists().append(QPointer<QListWidget>(w->lstFavs));
    QObject::connect(w->lstFavs, &QListWidget::itemDoubleClicked, w, [w] { openFavorite(w); });
    QObject::connect(w->cmdFavDelete, &QPushButton::clicked, w, [w] { confirmDelete(w); });
    QObject::connect(w->cmdFavAdd, &QPushButton::clicked, w, [w] { frmFavAdd::showFor(w); });
    QObject::connect(w->cmdFavEdit, &QPushButton::clicked, w, [w] {
        if (selectedFavorite(w) >= 0)
            frmFavEdit::showFor(w);
    });
}

namespace {
// What the lists show now, to build the next names from.
QStringList shownNames()
{
    for (const QPointer<QListWidget> &list : std::as_const(openLists())) {
        if (list)
            return list->property(kShownNames).toStringList();
    }
    return {};
}

void fillAllLists(const QStringList &names, bool clearSelection)
{
    QList<QPointer<QListWidget>> &lists = openLists();
    lists.removeAll(QPointer<QListWidget>());
    for (QListWidget *list : std::as_const(lists))
        fillList(list, names, clearSelection);
}

// Runs one change on the file. The lists are rebuilt from the document just
// written, which is what the file now holds; a failed write leaves the file
// as it was, so then they are rebuilt from the file.
bool change(const std::function<FavoritesStore::Result(IniDocument &)> &op, QString *error)
{
    FavoritesStore::Result result = FavoritesStore::Result::Done;
    QStringList names = shownNames();
    FileStamp stamp;
    const bool written = UpdateIniFile(
        [&](IniDocument &doc) {
            result = op(doc);
            names = FavoritesStore::names(doc, names);
            return result == FavoritesStore::Result::Done;
        },
        error, &stamp);
    if (written) {
        fillAllLists(names, true);
        markIniFileShown(stamp);
    } else {
        RefreshFavoritesList();
    }
    if (written && result == FavoritesStore::Result::Full && error) {
        *error = QStringLiteral("The favorites list is full: it holds %1 favorites.").arg(FavoritesStore::kMaxFavorites);
        return false;
    }
    return written;
}
} // namespace

void RefreshFavoritesList()
{
    openLists().removeAll(QPointer<QListWidget>());
    if (openLists().isEmpty())
        return;
    // Lists that already show this version of the file have nothing to do.
    const bool allFilled = std::all_of(openLists().cbegin(), openLists().cend(), [](const QPointer<QListWidget> &l) {
        return l->property(kShownNames).isValid();
    });
    if (allFilled && isIniFileShown(stampOfIniFile()))
        return;
    // Another instance mostly changes one value at a time: the names follow
    // such a change without reading every favorite again.
    static FavoritesStore::NamesFollower follower;
    FileStamp stamp;
    const QByteArray bytes = ReadIniBytes(&stamp);
    fillAllLists(follower.update(bytes), false);
    markIniFileShown(stamp);
}

bool AddFavorite(const QString &name, const QString &url, QString *error)
{
    return change([&](IniDocument &doc) { return FavoritesStore::add(doc, name, url); }, error);
}

bool UpdateFavorite(int index, const QString &name, const QString &url, QString *error)
{
    return change([&](IniDocument &doc) { return FavoritesStore::update(doc, index, name, url); }, error);
}

bool DeleteFavorite(int index, int listCount, QString *error)
{
    // The shift is bounded by the count in the file; every list is rebuilt
    // from that same file, so the two agree.
    Q_UNUSED(listCount);
    return change([&](IniDocument &doc) { return FavoritesStore::remove(doc, index); }, error);
}
