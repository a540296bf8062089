#include "frmFavEdit.h"

#include "FavoritesPanel.h"
#include "browser/SaveErrorBox.h"
#include "browser/frmMain.h"
#include "settings/Settings.h"

#include <QLineEdit>
#include <QPushButton>

namespace {
QPointer<frmFavEdit> g_edit;
const FavoriteDialog::Shape kShape{"frmFavEdit", "Edit Favorite", 6030, 2490, 120, 1440, 1320, 3120,
                                   "cmdApply", "Apply Changes"};
} // namespace

frmFavEdit::frmFavEdit()
    : FavoriteDialog(kShape)
{
    setTabOrder(txtURL, txtName);
    setTabOrder(txtName, cmdAction);
    setTabOrder(cmdAction, cmdCancel);
    connect(cmdAction, &QPushButton::clicked, this, &frmFavEdit::cmdApply_Click);
}

frmFavEdit *frmFavEdit::instance()
{
    return g_edit;
}

frmFavEdit *frmFavEdit::showFor(frmMain *window)
{
    if (!g_edit) {
        g_edit = new frmFavEdit;
        g_edit->serve(window);
        g_edit->Form_Load();
        g_edit->txtURL->setFocus();
    }
    g_edit->show();
    g_edit->raise();
    g_edit->activateWindow();
    return g_edit;
}

void frmFavEdit::Form_Load()
{
    const int index = selectedFavorite(source());
    const QString section = QString::number(index);
    txtName->setText(ReadIniValue(section, QStringLiteral("Name")));
    txtURL->setText(ReadIniValue(section, QStringLiteral("URL")));
}

void frmFavEdit::cmdApply_Click()
{
    frmMain *w = source();
    const int index = w ? selectedFavorite(w) : -1;
    // With nothing selected there is no entry to write to; the dialog stays
    // so the user can pick the entry again.
    if (index < 0)
        return;
    QString error;
    if (!UpdateFavorite(index, txtName->text(), txtURL->text(), &error)) {
        showSaveError(this, error);
        return;
    }
    close();
}
