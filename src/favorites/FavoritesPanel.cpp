#include "FavoritesPanel.h"

#include "FavoritesStore.h"
#include "frmFavAdd.h"
#include "frmFavEdit.h"

#include "browser/frmMain.h"
#include "settings/Settings.h"

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

void fillList(QListWidget *list, const QStringList &names)
{
    list->setUpdatesEnabled(false);
    list->clear();
    if (names.isEmpty()) {
        list->addItem(QStringLiteral("No Favorites Added"));
        list->setEnabled(false);
    } else {
        list->addItems(names);
        list->setEnabled(true);
    }
    list->setCurrentRow(-1);
    list->clearSelection();
    list->setUpdatesEnabled(true);
}

void openFavorite(frmMain *w)
{
    const int index = selectedFavorite(w);
    if (index < 0)
        return;
    w->Browser->Navigate(ReadIniValue(QString::number(index), QStringLiteral("URL")));
}

void confirmDelete(frmMain *w)
{
    const int index = selectedFavorite(w);
    if (index < 0)
        return;
    const QString section = QString::number(index);
    const QString url = ReadIniValue(section, QStringLiteral("URL"));
    const QString name = ReadIniValue(section, QStringLiteral("Name"));
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Delete Favorite"), deletePromptText(name, url),
                    QMessageBox::Yes | QMessageBox::No, w);
    box.setObjectName(QStringLiteral("DeletePrompt"));
    // The name usually comes from a page title.
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Yes);
    if (box.exec() == QMessageBox::Yes)
        DeleteFavorite(index, w->lstFavs->count());
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
void fillAllLists(const QStringList &names)
{
    QList<QPointer<QListWidget>> &lists = openLists();
    lists.removeAll(QPointer<QListWidget>());
    for (QListWidget *list : std::as_const(lists))
        fillList(list, names);
}

// Runs one change on the file. The lists are rebuilt from the document just
// written, which is what the file now holds; a failed write leaves the file
// as it was, so then they are rebuilt from the file.
FavoritesStore::Result change(const std::function<FavoritesStore::Result(IniDocument &)> &op)
{
    FavoritesStore::Result result = FavoritesStore::Result::Done;
    QStringList names;
    const bool written = UpdateIniFile([&](IniDocument &doc) {
        result = op(doc);
        names = FavoritesStore::names(doc);
        return result == FavoritesStore::Result::Done;
    });
    if (written)
        fillAllLists(names);
    else
        RefreshFavoritesList();
    return result;
}
} // namespace

void RefreshFavoritesList()
{
    openLists().removeAll(QPointer<QListWidget>());
    if (!openLists().isEmpty())
        fillAllLists(FavoritesStore::names(LoadIniFile()));
}

void AddFavorite(const QString &name, const QString &url)
{
    const auto result = change([&](IniDocument &doc) { return FavoritesStore::add(doc, name, url); });
    if (result == FavoritesStore::Result::Full) {
        QMessageBox::information(nullptr, QStringLiteral("Add Favorite"),
                                 QStringLiteral("The favorites list is full: it holds %1 favorites.")
                                     .arg(FavoritesStore::kMaxFavorites));
    }
}

void UpdateFavorite(int index, const QString &name, const QString &url)
{
    change([&](IniDocument &doc) { return FavoritesStore::update(doc, index, name, url); });
}

void DeleteFavorite(int index, int listCount)
{
    // The shift is bounded by the count in the file; every list is rebuilt
    // from that same file, so the two agree.
    Q_UNUSED(listCount);
    change([&](IniDocument &doc) { return FavoritesStore::remove(doc, index); });
}
