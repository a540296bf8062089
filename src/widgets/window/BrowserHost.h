#pragma once

#include "WindowHost.h"
#include "favorites/FavoritesModel.h"
#include "settings/Preferences.h"

#include <QObject>
#include <QPointer>
#include <QThreadPool>

class AboutDialog;
class FavoriteAddDialog;
class FavoriteEditDialog;
class History;
class HistoryWindow;
class PreferencesDialog;

// The program around its windows: opens new windows at the page the
// preferences ask for, starts each view on its first page, and keeps the
// dialogs that all windows share. What kind of view a window gets is left
// to the subclass: the web engine in the program, a fake in widget tests.
class BrowserHost : public QObject, public WindowHost
{
    Q_OBJECT
public:
    BrowserHost();
    ~BrowserHost() override;

    // The first windows of a run: one for each address handed over, else
    // the start-up dialog, or the first window when it is not to ask.
    void start(const QStringList &addresses);
    // A main window at `address`, or at the page the preferences name when
    // it is empty; not yet shown.
    MainWindow *openWindow(const QString &address = QString());

    BrowserView *createView(QWidget *parent, const ViewStart &start) final;
    MainWindow *createWindow(const ViewStart &start) override;
    bool confirmClose(MainWindow *window) override;
    void showPreferences() override;
    void showAbout() override;
    void showHistory(MainWindow *window) override;
    void addFavorite(MainWindow *window) override;
    void addLinkToFavorites(MainWindow *window, const QString &name, const QString &address) override;
    void editFavorite(MainWindow *window, int index) override;
    FavoritesModel *favorites() override { return &m_favorites; }
    // The pages seen in the program's windows; none where nothing is kept.
    virtual History *history() { return nullptr; }

protected:
    // A view of the kind this host makes, not yet started.
    virtual BrowserView *makeView(QWidget *parent) = 0;

private:
    void rememberLastUrl(const QString &url);
    FavoriteAddDialog *addDialog();

    FavoritesModel m_favorites;
    QPointer<PreferencesDialog> m_preferences;
    QPointer<AboutDialog> m_about;
    QPointer<FavoriteAddDialog> m_add;
    QPointer<FavoriteEditDialog> m_edit;
    QPointer<HistoryWindow> m_history;
    QPointer<MainWindow> m_historyTarget;
    // Pages finish loading often and a write waits for the disk: the last
    // address is stored beside the GUI thread, one write after another.
    QThreadPool m_lastUrlWriter;
};
