#pragma once

#include "BrowserView.h"
#include "WindowHost.h"
#include "window/LayoutPass.h"
#include "window/ProgressState.h"

#include <QMainWindow>
#include <QPointer>

class AddressBox;
class FavoritesPanel;
class QAction;
class QFileDialog;
class QProgressBar;
class QPushButton;
class QTabWidget;
class SiteLabel;
class StatusPanels;

// The browser window: one view with its buttons, address box, sidebar and
// status bar. Its controls are its own; the program around it is reached
// through the host.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    // The window's view starts as `start` says, before the rest is built.
    MainWindow(WindowHost &host, const ViewStart &start, QWidget *parent = nullptr);
    ~MainWindow() override;

    BrowserView *view() const { return m_view; }
    // Loads `address` in this window, as typed or stored.
    void open(const QString &address);
    // Opens another main window on `address`, as quiet as this one.
    void openInNewWindow(const QString &address);

protected:
    void resizeEvent(QResizeEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void changeEvent(QEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void buildControls(const ViewStart &start);
    void buildButtons();
    void buildStatusBar();
    void buildMenus();
    void addWindowKeys();
    void nameForScreenReaders();
    void connectControls();
    void connectView();
    void dockStatusBar();
    void placeProgressBar();
    void placeSiteLabel();
    // The layout pass: runs on every resize and after each visibility toggle.
    void layoutControls();
    // The client area in twips with the classic frame added, as the layout
    // figures expect it.
    QSizeF outerSizeTwips() const;

    void onSidebarClicked();
    void showSidebar(bool on);
    void showStatusBar(bool on);
    void onHomeClicked();
    void onNewWindowTriggered();
    void onOpenTriggered();
    void onSaveTriggered();
    void onViewSourceTriggered();
    void onFindTriggered();
    void openTyped(const QString &typed);
    void showFullScreenWindow(bool on);

    void showStatusText(const QString &text);
    void showProgress(int progress, int progressMax);
    void showTitle(const QString &title);
    QString captionSuffix() const;
    void handleNewWindowRequest(BrowserView **view, bool *cancel);

    WindowHost &m_host;
    QWidget *m_client = nullptr;
    BrowserView *m_view = nullptr;
    AddressBox *m_addressBox = nullptr;
    QTabWidget *m_sidebar = nullptr;
    FavoritesPanel *m_favorites = nullptr;
    QPushButton *m_back = nullptr;
    QPushButton *m_forward = nullptr;
    QPushButton *m_stop = nullptr;
    QPushButton *m_reload = nullptr;
    QPushButton *m_home = nullptr;
    QPushButton *m_sidebarButton = nullptr;
    SiteLabel *m_site = nullptr;
    StatusPanels *m_statusBar = nullptr;
    QProgressBar *m_progressBar = nullptr;
    QPointer<QFileDialog> m_openDialog;
    QAction *m_sidebarItem = nullptr;
    QAction *m_statusBarItem = nullptr;
    QAction *m_fullScreenItem = nullptr;
    // Escape stops a page only while one loads; otherwise it is the page's.
    QAction *m_stopKey = nullptr;
    bool m_maximizedBeforeFullScreen = false;
    QRect m_beforeFullScreen;
    LayoutGeometry m_layout;
    ProgressState m_progress;
    bool m_pageLetGo = false;
};
