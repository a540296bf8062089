#pragma once

#include "FavoriteDialog.h"

// Edits one favorite, and keeps to that favorite while it is open, even
// when the user selects another row or the file changes under it.
class FavoriteEditDialog : public FavoriteDialog
{
    Q_OBJECT
public:
    FavoriteEditDialog(FavoritesModel *model, int index, QWidget *window);

private:
    void followFavorite();
    void onApplyClicked();

    int m_index = -1;
    QString m_storedName, m_storedUrl;
};
