#pragma once

#include "FavoriteDialog.h"

class QLabel;

// Edits one favorite, and keeps to that favorite while it is open, even
// when the user selects another row or the file changes under it. When
// another program changes or deletes the favorite meanwhile, the dialog
// keeps what the user typed and says what happened.
class FavoriteEditDialog : public FavoriteDialog
{
    Q_OBJECT
public:
    FavoriteEditDialog(FavoritesModel *model, int index, QWidget *window);

private:
    void followFavorite();
    void onApplyClicked();
    // Adds the favorite back as typed, if the user wants it; true when the
    // dialog is done.
    bool offerToAddBack();
    // A line under the buttons about what became of the favorite.
    void tell(const QString &note);

    int m_index = -1; // -1 once the favorite is gone
    QString m_storedName, m_storedUrl;
    QLabel *m_note = nullptr;
};
