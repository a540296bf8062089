#pragma once

#include "BrowserView.h"
#include "WindowLogic.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>

class AddressBox;
class QAction;
class QFileDialog;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTabWidget;
class StatusPanels;

// The browser window: one view with its buttons, address box, sidebar and
// status bar. What happens when it opens and closes, and what the favorites
// buttons do, is attached from outside through hooks().
class frmMain : public QMainWindow
{
    Q_OBJECT
public:
    struct Hooks
    {
        // A new main window with its load step done, not yet shown.
        std::function<frmMain *()> createWindow;
        // The close step: false refuses the close.
        std::function<bool(frmMain *)> closeStep;
        std::function<void()> showPreferences;
        std::function<void()> showAbout;
        // Runs as soon as a new window's view exists, before its menus and
        // layout are built, so the first page can start loading early.
        std::function<void(frmMain *)> viewCreated;
    };
    static Hooks &hooks();
    // Makes the web view of each new window; tests put a fake here.
    static std::function<BrowserView *(QWidget *parent)> &viewFactory();

    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    // Controls, by the names the rest of the program uses.
    BrowserView *Browser = nullptr;
    AddressBox *cboURL = nullptr;
    QTabWidget *Sidebar = nullptr;
    QPushButton *cmdBack = nullptr;
    QPushButton *cmdForward = nullptr;
    QPushButton *cmdStop = nullptr;
    QPushButton *cmdReload = nullptr;
    QPushButton *cmdHome = nullptr;
    QPushButton *cmdSidebar = nullptr;
    StatusPanels *StatusBar = nullptr;
    QProgressBar *ProgressBar = nullptr;
    QListWidget *lstFavs = nullptr;
    QPushButton *cmdFavAdd = nullptr;
    QPushButton *cmdFavDelete = nullptr;
    QPushButton *cmdFavEdit = nullptr;

    QAction *menuAction(const QString &name) const;
    QFileDialog *Dialog();

    // Layout pass: runs on every resize and after each visibility toggle.
    void Form_Resize();
    // Lays the progress bar over status panel 2.
    void placeProgressBar();
    const ProgressState &progressState() const { return m_progress; }
    const LayoutGeometry &layoutGeometry() const { return m_layout; }
    int textSizeIndex() const;

    // Handlers, public so menu items, buttons and tests reach the same code.
    void cmdSidebar_Click();
    void mnuViewSideBar_Click();
    void mnuViewStatusBar_Click();
    void cmdHome_Click();
    void mnuFileNewWindow_Click();
    void mnuFileOpen_Click();
    void mnuFileSave_Click();
    void mnuViewTextSize_Click(int index);
    void mnuViewSource_Click();
    void mnuEditFind_Click();

    void Browser_StatusTextChange(const QString &text);
    void Browser_ProgressChange(int progress, int progressMax);
    void Browser_TitleChange(const QString &text);
    void Browser_NewWindow2(BrowserView **ppDisp, bool *cancel);

    // The client area in twips with the classic frame added, as the layout
    // figures expect it.
    QSizeF outerSizeTwips() const;

protected:
    void resizeEvent(QResizeEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    void buildControls();
    void buildMenus();
    void dockStatusBar();
    void execOnView(BrowserView::Command command);

    QWidget *m_client = nullptr;
    LayoutGeometry m_layout;
    ProgressState m_progress;
    QPointer<QFileDialog> m_dialog;
    QList<QAction *> m_textSize;
    bool m_pageLetGo = false;
};

// Opens a further main window on `url` in the given silent mode.
void OpenNewBrowserWindow(const QString &url, bool silent);

// The address Home goes to: the per-user setting Settings/Home of the
// application "Kestrel", or the built-in start page.
QString homeAddress();
extern const char *const kBuiltInHomePage;
