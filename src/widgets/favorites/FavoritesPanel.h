#pragma once

#include "favorites/FavoritesModel.h"
#include "favorites/FavoritesStore.h"

#include <QWidget>

#include <optional>

class QListWidget;
class QPushButton;

// The favorites tab of a main window's sidebar: the list and its Add,
// Delete and Edit buttons. It follows the model, so every window's list
// shows what the file holds, and a row always acts on the favorite it names.
class FavoritesPanel : public QWidget
{
    Q_OBJECT
public:
    FavoritesPanel(FavoritesModel *model, QWidget *parent);

    // The layout pass gives the list the height the window has room for.
    void setListHeight(int pixels);
    // The selected row, -1 for none.
    int selectedIndex() const;

signals:
    void openRequested(const QString &url);
    void addRequested();
    void editRequested(int index);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showAll();
    void showRows(const FavoritesStore::Rows &rows, bool madeHere);
    // The selected favorite, if its row still shows it.
    std::optional<FavoritesModel::Favorite> selectedFavorite();
    void openSelected();
    void confirmDelete();

    FavoritesModel *m_model;
    QListWidget *m_list;
    QPushButton *m_add;
    QPushButton *m_delete;
    QPushButton *m_edit;
    bool m_filled = false;
};
