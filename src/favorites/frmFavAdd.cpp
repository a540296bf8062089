#include "frmFavAdd.h"

#include "FavoritesPanel.h"
#include "browser/SaveErrorBox.h"
#include "browser/frmMain.h"

#include <QEvent>
#include <QLineEdit>
#include <QPushButton>

namespace {
QPointer<frmFavAdd> g_add;
const FavoriteDialog::Shape kShape{"frmFavAdd", "Add Favorite", 6375, 2385, 240, 1560, 1440, 3240,
                                   "cmdAdd", "Add"};
} // namespace

frmFavAdd::frmFavAdd()
    : FavoriteDialog(kShape)
{
    setTabOrder(cmdCancel, cmdAction);
    setTabOrder(cmdAction, txtName);
    setTabOrder(txtName, txtURL);
    connect(cmdAction, &QPushButton::clicked, this, &frmFavAdd::cmdAdd_Click);
}

frmFavAdd *frmFavAdd::instance()
{
    return g_add;
}

frmFavAdd *frmFavAdd::showFor(frmMain *window)
{
    const bool fresh = !g_add;
    if (fresh)
        g_add = new frmFavAdd;
    g_add->serve(window);
    g_add->show();
    g_add->raise();
    g_add->activateWindow();
    if (fresh)
        g_add->cmdCancel->setFocus();
    // Offscreen and some window managers never activate; the boxes must
    // still show the page.
    g_add->Form_Activate();
    return g_add;
}

bool frmFavAdd::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate)
        Form_Activate();
    return FavoriteDialog::event(e);
}

void frmFavAdd::Form_Activate()
{
    frmMain *w = source();
    if (!w)
        return;
    txtURL->setText(w->Browser->address());
    txtName->setText(w->Browser->title());
}

void frmFavAdd::cmdAdd_Click()
{
    // When it cannot be stored the dialog stays, with what the user typed.
    QString error;
    if (!AddFavorite(txtName->text(), txtURL->text(), &error)) {
        showSaveError(this, error);
        return;
    }
    close();
}
