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
    // Offers a link of the page in `window` instead, named by its text.
    void serveLink(QWidget *window, const QString &name, const QString &address);

protected:
    bool event(QEvent *e) override;

private:
    void showPage();
    void onAddClicked();

    QPointer<BrowserView> m_view;
    QString m_linkName, m_linkAddress;
};
