#include "FavoritesPanel.h"

#include "favorites/FavoritesModel.h"
#include "common/MessageBoxes.h"
#include "common/Twips.h"

#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>

namespace {

// The panel's corner on the sidebar; the design places its controls from
// the tab control's own top-left corner, tab row included.
constexpr double kLeft = 120;
constexpr double kTop = 480;

template <typename W>
W *placeInPanel(W *w, const char *name, double left, double top, double width, double height)
{
    return Twips::place(w, name, left - kLeft, top - kTop, width, height);
}

QPushButton *makeButton(QWidget *parent, const char *name, const char *caption, double left, double top)
{
    return placeInPanel(new QPushButton(QString::fromLatin1(caption), parent), name, left, top, 1875, 255);
}

QString deletePromptText(const QString &name, const QString &url)
{
    return QStringLiteral("Delete ") + name + QStringLiteral(" [") + url + QStringLiteral("]?");
}

} // namespace

FavoritesPanel::FavoritesPanel(FavoritesModel *model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
{
    setObjectName(QStringLiteral("FavoritesPanel"));
    m_add = makeButton(this, "cmdFavAdd", "Add Favorite", 120, 480);
    m_delete = makeButton(this, "cmdFavDelete", "Delete Favorite", 1995, 480);
    m_edit = makeButton(this, "cmdFavEdit", "Edit Favorite", 1058, 720);
    m_list = placeInPanel(new QListWidget(this), "lstFavs", 120, 1080, 3735, 9420);
    m_list->setAccessibleName(QStringLiteral("Favorites"));
    m_list->setAccessibleDescription(QStringLiteral("Double-click a favorite to open it"));
    setGeometry(Twips::toPixels(kLeft, kTop, 3750, 1080 - kTop + 9420));
    setTabOrder(m_list, m_add);
    setTabOrder(m_add, m_delete);
    setTabOrder(m_delete, m_edit);

    // Every row is one line of text: the list need not measure each one,
    // which with thousands of favorites would cost more than the file.
    m_list->setUniformItemSizes(true);
    // Rows below the first screenful are placed a batch at a time once the
    // window is up, so that a long list does not hold back its first paint.
    m_list->setLayoutMode(QListView::Batched);
    m_list->setBatchSize(1000);

    connect(m_list, &QListWidget::itemDoubleClicked, this, &FavoritesPanel::openSelected);
    connect(m_delete, &QPushButton::clicked, this, &FavoritesPanel::confirmDelete);
    connect(m_add, &QPushButton::clicked, this, &FavoritesPanel::addRequested);
    connect(m_edit, &QPushButton::clicked, this, [this] {
        if (selectedIndex() >= 0)
            emit editRequested(selectedIndex());
    });
    connect(m_model, &FavoritesModel::changed, this, &FavoritesPanel::showRows);
}

void FavoritesPanel::showEvent(QShowEvent *event)
{
    // Filled when first shown: a window whose sidebar stays closed never
    // pays for a long list.
    if (!m_filled) {
        m_model->refresh();
        showAll();
    }
    QWidget::showEvent(event);
}

void FavoritesPanel::setListHeight(int pixels)
{
    m_list->resize(m_list->width(), pixels);
    resize(width(), m_list->y() + pixels);
}

int FavoritesPanel::selectedIndex() const
{
    if (!m_list->isEnabled())
        return -1;
    const QList<QListWidgetItem *> selected = m_list->selectedItems();
    return selected.isEmpty() ? -1 : m_list->row(selected.constFirst());
}

// Fills the list from the model's names, as when it is first shown.
void FavoritesPanel::showAll()
{
    const QStringList &names = m_model->names();
    m_list->clear();
    m_list->setEnabled(!names.isEmpty());
    if (names.isEmpty())
        m_list->addItem(QStringLiteral("No Favorites Added"));
    else
        m_list->addItems(names);
    m_filled = true;
}

// Touches only the rows that changed, so that a long list follows a change
// at the speed of the change. A change may have moved the rows: the selected
// row could now be another favorite, so the selection goes.
void FavoritesPanel::showRows(const FavoritesStore::Rows &rows, bool madeHere)
{
    if (!m_filled)
        return;
    const QStringList &names = m_model->names();
    m_list->setUpdatesEnabled(false);
    const bool inPlace = m_list->isEnabled() && !names.isEmpty() && rows.removed <= 1000
                         && m_list->count() - rows.removed + rows.added == names.size();
    if (!inPlace) {
        showAll();
    } else {
        // Rows renamed in place spare the view laying out every row again.
        const int renamed = std::min(rows.removed, rows.added);
        for (int i = rows.first; i < rows.first + renamed; ++i)
            m_list->item(i)->setText(names.at(i));
        for (int i = rows.first + rows.removed - 1; i >= rows.first + renamed; --i)
            delete m_list->takeItem(i);
        if (rows.added > renamed)
            m_list->insertItems(rows.first + renamed, names.mid(rows.first + renamed, rows.added - renamed));
    }
    // Cleared only when set: clearing walks every row of a long list.
    if ((rows.any() || madeHere) && (m_list->currentRow() >= 0 || m_list->selectionModel()->hasSelection())) {
        m_list->setCurrentRow(-1);
        m_list->clearSelection();
    }
    m_list->setUpdatesEnabled(true);
}

std::optional<FavoritesModel::Favorite> FavoritesPanel::selectedFavorite()
{
    const int index = selectedIndex();
    if (index < 0)
        return std::nullopt;
    // The row must still be the favorite it names; if the file changed
    // under it, the list is brought up to date and the user chooses again.
    std::optional<FavoritesModel::Favorite> favorite = m_model->at(index);
    if (!favorite || favorite->name != m_list->item(index)->text()) {
        m_model->refresh();
        return std::nullopt;
    }
    return favorite;
}

void FavoritesPanel::openSelected()
{
    if (const std::optional<FavoritesModel::Favorite> favorite = selectedFavorite())
        emit openRequested(favorite->url);
}

void FavoritesPanel::confirmDelete()
{
    const int index = selectedIndex();
    const std::optional<FavoritesModel::Favorite> favorite = selectedFavorite();
    if (!favorite)
        return;
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Delete Favorite"),
                    deletePromptText(favorite->name, favorite->url), QMessageBox::Yes | QMessageBox::No, window());
    box.setObjectName(QStringLiteral("DeletePrompt"));
    // The name usually comes from a page title.
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Yes);
    if (box.exec() != QMessageBox::Yes)
        return;
    // The file may have changed while the question was up: the favorite is
    // deleted where it is now, or the user learns that it is gone.
    QString error;
    switch (m_model->remove(index, *favorite, &error)) {
    case FavoritesModel::Outcome::Done:
        break;
    case FavoritesModel::Outcome::Gone:
        newMessageBox(window(), QMessageBox::Information, QStringLiteral("Delete Favorite"),
                      QStringLiteral("%1 was not deleted: another program deleted or changed it meanwhile.")
                          .arg(favorite->name),
                      QStringLiteral("FavoriteGone"))
            ->show();
        break;
    case FavoritesModel::Outcome::NotSaved:
        showSaveError(window(), error);
        break;
    }
}
