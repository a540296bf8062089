#pragma once

#include <QString>

class frmMain;

// The favorites as the user works with them: every change goes through the
// settings file and then rebuilds the list of every open main window.
void AttachFavoritesPanel(frmMain *window);
void RefreshFavoritesList();
// Each change returns false when it could not be stored; `error` then says
// why, in words for the user.
bool AddFavorite(const QString &name, const QString &url, QString *error = nullptr);
bool UpdateFavorite(int index, const QString &name, const QString &url, QString *error = nullptr);
bool DeleteFavorite(int index, int listCount, QString *error = nullptr);

// The prompt shown before a favorite is deleted.
QString deletePromptText(const QString &name, const QString &url);
// The selected list position of a window's favorites list, -1 for none.
int selectedFavorite(const frmMain *window);
