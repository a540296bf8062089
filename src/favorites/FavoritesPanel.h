#pragma once

#include <QString>

class frmMain;

// The favorites as the user works with them: every change goes through the
// settings file and then rebuilds the list of every open main window.
void AttachFavoritesPanel(frmMain *window);
void RefreshFavoritesList();
void AddFavorite(const QString &name, const QString &url);
void UpdateFavorite(int index, const QString &name, const QString &url);
void DeleteFavorite(int index, int listCount);

// The prompt shown before a favorite is deleted.
QString deletePromptText(const QString &name, const QString &url);
// The selected list position of a window's favorites list, -1 for none.
int selectedFavorite(const frmMain *window);
