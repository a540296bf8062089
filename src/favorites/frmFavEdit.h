#pragma once

#include "FavoriteDialog.h"

// Edits the favorite selected in the list of the main window that opened it.
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
};
