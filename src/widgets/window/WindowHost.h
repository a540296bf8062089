#pragma once

#include <QByteArray>
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
    // A view of the run's private profile.
    bool privately = false;
    // The pages of a view brought back (saveState() of an earlier view);
    // when set, it starts on them instead of `address`.
    QByteArray state;
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
    // Asked as the user closes a window; false keeps it open. The last
    // window also asks before it ends downloads still running.
    virtual bool confirmClose(MainWindow *window) = 0;
    // Whether `window` is the last one and downloads still run: its page may
    // not close it, as only the user may end them.
    virtual bool downloadsNeedWindow(MainWindow *window) = 0;
    // Brings up the Downloads window.
    virtual void showDownloads() = 0;
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
    // A new private window, shown.
    virtual void openPrivateWindow() = 0;
    // Brings back the window closed last in this run, if any.
    virtual void reopenClosedWindow() = 0;
    virtual void showClearData() = 0;
    // The window is closing for good; its view still holds its pages.
    virtual void windowClosing(MainWindow *window) = 0;
};
