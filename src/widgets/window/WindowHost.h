#pragma once

#include <QString>

class BrowserView;
class FavoritesModel;
class MainWindow;
class QWidget;

// How a window's view starts: the page it loads first (none when the address
// is empty), whether that page stays in its history, and whether the view
// shows boxes of its own (script errors and dialogs).
struct ViewStart
{
    QString address;
    bool keepInHistory = true;
    bool silent = false;
};

// What a main window needs from the program around it: its view, new
// windows, the shared dialogs and the favorites. The application gives
// one to every window; tests give their own.
class WindowHost
{
public:
    virtual ~WindowHost() = default;

    // The web view of a new window, made in `parent`, the window's client
    // area, and already loading its first page.
    virtual BrowserView *createView(QWidget *parent, const ViewStart &start) = 0;
    // A new main window with its first steps done, not yet shown; null when
    // none can be made.
    virtual MainWindow *createWindow(const ViewStart &start) = 0;
    // Asked as the user closes a window; false keeps it open.
    virtual bool confirmClose(MainWindow *window) = 0;
    virtual void showPreferences() = 0;
    virtual void showAbout() = 0;
    // Opens the History window; what is opened from it opens in `window`.
    virtual void showHistory(MainWindow *window) = 0;
    // Opens the Add Favorite dialog for the page of `window`.
    virtual void addFavorite(MainWindow *window) = 0;
    // Opens the Add Favorite dialog for a link of that window's page.
    virtual void addLinkToFavorites(MainWindow *window, const QString &name, const QString &address) = 0;
    // Opens the Edit Favorite dialog for favorite `index`.
    virtual void editFavorite(MainWindow *window, int index) = 0;
    virtual FavoritesModel *favorites() = 0;
};
