#pragma once

#include <QString>

class frmMain;

// Creates a main window and runs its load step: first page by the start
// mode, progress bar over the status bar, silent mode, favorites list. A
// window opened for a given address starts there instead of the start mode.
frmMain *CreateMainWindow(const QString &firstPage = QString());
void Form_Load(frmMain *window, const QString &firstPage = QString());
// The close step: asks "Are you sure you want to exit?" when "ConfirmExit"
// is "True". Returns false when the user says No.
bool Form_QueryUnload(frmMain *window);

// Wires the hooks of the main window class to the steps above and to the
// program-wide dialogs.
void InstallMainWindowHooks();
