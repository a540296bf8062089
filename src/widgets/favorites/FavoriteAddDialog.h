#pragma once

#include "FavoriteDialog.h"

class BrowserView;

// Adds the page of the main window that opened it. Refills both boxes each
// time it becomes the active window.
class FavoriteAddDialog : public FavoriteDialog
{
    Q_OBJECT
public:
    explicit FavoriteAddDialog(FavoritesModel *model);

    // Serves the page in `view` of `window` from now on.
    void serve(QWidget *window, BrowserView *view);

protected:
    bool event(QEvent *e) override;

private:
    void showPage();
    void onAddClicked();

    QPointer<BrowserView> m_view;
};
