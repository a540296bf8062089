#pragma once

#include "FavoriteDialog.h"

// Adds the page of the main window that opened it. Refills both boxes each
// time it becomes the active window.
class frmFavAdd : public FavoriteDialog
{
    Q_OBJECT
public:
    static frmFavAdd *showFor(frmMain *window);
    static frmFavAdd *instance();
    void cmdAdd_Click();

protected:
    bool event(QEvent *e) override;

private:
    frmFavAdd();
    void Form_Activate();
};
