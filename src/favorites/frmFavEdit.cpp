#include "frmFavEdit.h"

#include "FavoritesPanel.h"
#include "browser/SaveErrorBox.h"
#include "browser/frmMain.h"
#include "FavoritesStore.h"
#include "settings/Settings.h"
#include "settings/SettingsWatcher.h"

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
    connect(SettingsWatcher::instance(), &SettingsWatcher::changed, this, &frmFavEdit::followFavorite);
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
    m_index = selectedFavorite(source());
    const IniDocument doc = LoadIniFile();
    m_name = FavoritesStore::name(doc, m_index);
    m_url = FavoritesStore::url(doc, m_index);
    txtName->setText(m_name);
    txtURL->setText(m_url);
}

void frmFavEdit::followFavorite()
{
    // The file changed on disk: find the favorite this dialog was opened for,
    // which may have moved. When it is gone there is nothing left to edit.
    const IniDocument doc = LoadIniFile();
    const int n = FavoritesStore::count(doc);
    auto isIt = [&](int i) {
        return i >= 0 && i < n && FavoritesStore::name(doc, i) == m_name && FavoritesStore::url(doc, i) == m_url;
    };
    for (int d = 0; d < n + m_index + 1; ++d) {
        for (int i : {m_index - d, m_index + d}) {
            if (isIt(i)) {
                m_index = i;
                return;
            }
        }
    }
    close();
}

void frmFavEdit::cmdApply_Click()
{
    // The favorite the dialog was opened for, whatever is selected now.
    if (m_index < 0)
        return;
    QString error;
    if (!UpdateFavorite(m_index, txtName->text(), txtURL->text(), &error)) {
        showSaveError(this, error);
        return;
    }
    close();
}
