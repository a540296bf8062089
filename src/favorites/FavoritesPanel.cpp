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

void RefreshFavoritesList()
{
    QList<QPointer<QListWidget>> &lists = openLists();
    lists.removeAll(QPointer<QListWidget>());
    if (lists.isEmpty())
        return;
    const QStringList names = FavoritesStore::names(LoadIniFile());
    for (QListWidget *list : std::as_const(lists))
        fillList(list, names);
}

void AddFavorite(const QString &name, const QString &url)
{
    FavoritesStore::Result result = FavoritesStore::Result::Done;
    UpdateIniFile([&](IniDocument &doc) {
        result = FavoritesStore::add(doc, name, url);
        return result == FavoritesStore::Result::Done;
    });
    if (result == FavoritesStore::Result::Full) {
        QMessageBox::information(nullptr, QStringLiteral("Add Favorite"),
                                 QStringLiteral("The favorites list is full: it holds %1 favorites.")
                                     .arg(FavoritesStore::kMaxFavorites));
    }
    RefreshFavoritesList();
}

void UpdateFavorite(int index, const QString &name, const QString &url)
{
    UpdateIniFile([&](IniDocument &doc) {
        return FavoritesStore::update(doc, index, name, url) == FavoritesStore::Result::Done;
    });
    RefreshFavoritesList();
}

void DeleteFavorite(int index, int listCount)
{
    // The shift is bounded by the count in the file; every list is rebuilt
    // from that same file, so the two agree.
    Q_UNUSED(listCount);
    UpdateIniFile([&](IniDocument &doc) {
        return FavoritesStore::remove(doc, index) == FavoritesStore::Result::Done;
    });
    RefreshFavoritesList();
}
