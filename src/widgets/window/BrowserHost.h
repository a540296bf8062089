#pragma once

#include "BrowsingData.h"
#include "SessionKeeper.h"
#include "WindowHost.h"
#include "favorites/FavoritesModel.h"
#include "profile/ProfileFolder.h"
#include "settings/Preferences.h"

#include <QObject>
#include <QPointer>
#include <QThreadPool>

class AboutDialog;
class DownloadList;
class ClearDataDialog;
class FavoriteAddDialog;
class FavoriteEditDialog;
class History;
class HistoryWindow;
class PreferencesDialog;

// The program around its windows: opens new windows at the page the
// preferences ask for, starts each view on its first page, keeps the
// session of the run and the dialogs that all windows share. What kind of
// view a window gets is left to the subclass: the web engine in the
// program, a fake in widget tests.
class BrowserHost : public QObject, public WindowHost
{
    Q_OBJECT
public:
    // The run's windows are kept in `profile`; a profile without a folder
    // keeps nothing.
    explicit BrowserHost(const ProfileFolder &profile = ProfileFolder());
    ~BrowserHost() override;

    // The first windows of a run: one for each address handed over, else
    // the start-up dialog, or the first windows when it is not to ask. When
    // the last run crashed, its windows come back or are offered.
    void start(const QStringList &addresses);
    // Addresses from a later start of this profile, each in a new window in
    // front; none asks for one new window, as New Window makes it.
    void openHandedOver(const QStringList &addresses);
    // A main window at `address`, or at the page the preferences name when
    // it is empty; not yet shown.
    MainWindow *openWindow(const QString &address = QString());
    // Ends the run as closing every window does, without asking anybody.
    void endRun();

    BrowserView *createView(QWidget *parent, const ViewStart &start) final;
    MainWindow *createWindow(const ViewStart &start) override;
    bool confirmClose(MainWindow *window) override;
    bool downloadsNeedWindow(MainWindow *window) override;
    void showDownloads() override;
    void showPreferences() override;
    void showAbout() override;
    void showHistory(MainWindow *window) override;
    void addFavorite(MainWindow *window) override;
    void addLinkToFavorites(MainWindow *window, const QString &name, const QString &address) override;
    void editFavorite(MainWindow *window, int index) override;
    FavoritesModel *favorites() override { return &m_favorites; }
    // The pages seen in the program's windows; none where nothing is kept.
    virtual History *history() { return nullptr; }
    void openPrivateWindow() override;
    void reopenClosedWindow() override;
    void showClearData() override;
    void windowClosing(MainWindow *window) override;

    // What Clear Browsing Data offers; add what you keep in the profile.
    BrowsingData &browsingData() { return m_browsingData; }

protected:
    // A view of the kind this host makes, not yet started.
    virtual BrowserView *makeView(QWidget *parent, bool privately) = 0;
    // The run's downloads; none where views do not download.
    virtual DownloadList *downloads() { return nullptr; }
    // The run ends: called once, before the windows and the profile close.
    virtual void endOfRun();

private:
    void openFirstWindows(const Preferences &preferences);
    MainWindow *restoreWindow(const Session::Window &kept, bool silent);
    MainWindow *openWindow(const Preferences &preferences, const QString &address = QString());
    void offerRestore(MainWindow *window);
    void clearChosen(const QStringList &names, bool alsoOnClose);
    void rememberLastUrl(const QString &url);
    bool mayEndDownloads(MainWindow *window);
    FavoriteAddDialog *addDialog();

    ProfileFolder m_profile;
    FavoritesModel m_favorites;
    SessionKeeper m_session;
    BrowsingData m_browsingData;
    QPointer<PreferencesDialog> m_preferences;
    QPointer<AboutDialog> m_about;
    QPointer<FavoriteAddDialog> m_add;
    QPointer<FavoriteEditDialog> m_edit;
    QPointer<HistoryWindow> m_history;
    QPointer<MainWindow> m_historyTarget;
    QPointer<ClearDataDialog> m_clearData;
    bool m_ended = false;
    // Pages finish loading often and a write waits for the disk: the last
    // address is stored beside the GUI thread, one write after another.
    QThreadPool m_lastUrlWriter;
};
