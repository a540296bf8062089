#include "FavoriteEditDialog.h"

#include "favorites/FavoritesModel.h"
#include "common/MessageBoxes.h"

#include <QLineEdit>
#include <QPushButton>

namespace {
const FavoriteDialog::Shape kShape{"frmFavEdit", "Edit Favorite", 6030, 2490, 120, 1440, 1320, 3120,
                                   "cmdApply", "Apply Changes"};
} // namespace

FavoriteEditDialog::FavoriteEditDialog(FavoritesModel *model, int index, QWidget *window)
    : FavoriteDialog(kShape, model)
    , m_index(index)
{
    setTabOrder(m_url, m_name);
    setTabOrder(m_name, m_action);
    setTabOrder(m_action, m_cancel);
    connect(m_action, &QPushButton::clicked, this, &FavoriteEditDialog::onApplyClicked);
    connect(m_model, &FavoritesModel::changed, this, &FavoriteEditDialog::followFavorite);
    serve(window);
    if (const std::optional<FavoritesModel::Favorite> favorite = m_model->at(index)) {
        m_storedName = favorite->name;
        m_storedUrl = favorite->url;
    }
    m_name->setText(m_storedName);
    m_url->setText(m_storedUrl);
    m_url->setFocus();
}

void FavoriteEditDialog::followFavorite()
{
    // The file changed: find the favorite this dialog was opened for, which
    // may have moved. When it is gone there is nothing left to edit.
    const FavoritesModel::Favorite wanted{m_storedName, m_storedUrl};
    const int n = int(m_model->names().size());
    for (int d = 0; d < n + m_index + 1; ++d) {
        for (int i : {m_index - d, m_index + d}) {
            if (i >= 0 && i < n && m_model->names().at(i) == m_storedName && m_model->at(i) == wanted) {
                m_index = i;
                return;
            }
        }
    }
    close();
}

void FavoriteEditDialog::onApplyClicked()
{
    // The favorite the dialog was opened for, whatever is selected now.
    if (m_index < 0)
        return;
    QString error;
    if (!m_model->update(m_index, m_name->text(), m_url->text(), &error)) {
        showSaveError(this, error);
        return;
    }
    close();
}
