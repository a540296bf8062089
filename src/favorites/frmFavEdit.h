#pragma once

#include "FavoriteDialog.h"

// Edits the favorite selected in the list of the main window that opened it,
// and keeps to that favorite while it is open.
class frmFavEdit : public FavoriteDialog
{
    Q_OBJECT
public:
    static frmFavEdit *showFor(frmMain *window);
    static frmFavEdit *instance();
    void cmdApply_Click();

private:
    frmFavEdit();
    void Form_Load();
    void followFavorite();

    int m_index = -1;
    QString m_name, m_url;
};
