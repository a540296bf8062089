#include "MainWindow.h"

#include "AddressBox.h"

#include <QAction>
#include <QActionGroup>
#include <QMenuBar>
#include <QPushButton>

namespace {

// Where a row goes in the menu bar.
enum class Place {
    Menu,      // a menu of the bar; the rows after it are its items
    Item,      // an item of the last menu
    Submenu,   // an item of the last menu that opens a submenu
    SubItem,   // an item of the last submenu
    Separator, // a line in the last menu
};

// Whether an item carries a check mark, and how it starts.
enum class Check {
    None,
    Off,
    On,
    Choice,  // one of the submenu's exclusive choices, not chosen
    Chosen,  // the submenu's choice at the start
};

// One row per menu item, top to bottom as the user sees them: where it goes,
// its object name, caption, keys (several separated by "; "), check mark and
// what it does. `keep` names the member that keeps the item, where the
// window changes the item itself.
struct MenuRow
{
    Place place;
    const char *name;
    const char *caption;
    const char *keys;
    Check check;
    void (*run)(MainWindow *window, bool checked);
    QAction *MainWindow::*keep;
};

// The menu and submenu that rows are added to, while the bar is built.
struct MenuCursor
{
    QMenu *menu = nullptr;
    QMenu *submenu = nullptr;
    QActionGroup *choices = nullptr;
};

void addMenuRow(MainWindow *window, MenuCursor &at, const MenuRow &row)
{
    const QString name = QString::fromLatin1(row.name);
    const QString caption = QString::fromLatin1(row.caption);
    QAction *item = nullptr;
    switch (row.place) {
    case Place::Menu:
        at.menu = window->menuBar()->addMenu(caption);
        at.menu->setObjectName(name);
        at.submenu = nullptr;
        item = at.menu->menuAction();
        break;
    case Place::Submenu:
        at.submenu = at.menu->addMenu(caption);
        at.submenu->setObjectName(name);
        at.choices = nullptr;
        item = at.submenu->menuAction();
        break;
    case Place::Separator:
        item = at.menu->addSeparator();
        break;
    case Place::Item:
        item = at.menu->addAction(caption);
        break;
    case Place::SubItem:
        item = at.submenu->addAction(caption);
        break;
    }
    item->setObjectName(name);
    item->setShortcuts(QKeySequence::listFromString(QString::fromLatin1(row.keys)));
    if (row.check != Check::None) {
        item->setCheckable(true);
        item->setChecked(row.check == Check::On || row.check == Check::Chosen);
    }
    if (row.check == Check::Choice || row.check == Check::Chosen) {
        // Qt moves the mark between the submenu's choices itself.
        if (!at.choices)
            at.choices = new QActionGroup(at.submenu);
        at.choices->addAction(item);
    }
    if (row.keep)
        window->*row.keep = item;
    if (const auto run = row.run)
        QObject::connect(item, &QAction::triggered, window, [window, run](bool checked) { run(window, checked); });
}

} // namespace

void MainWindow::buildMenus()
{
    using W = MainWindow;
    static const MenuRow rows[] = {
        {Place::Menu, "mnuFile", "&File", "", Check::None, nullptr, nullptr},
        {Place::Item, "mnuFileNewWindow", "&New Window", "Ctrl+N", Check::None,
         [](W *w, bool) { w->onNewWindowTriggered(); }, nullptr},
        {Place::Item, "mnuFileNewPrivateWindow", "New Private &Window", "Ctrl+Shift+P", Check::None,
         [](W *w, bool) { w->m_host.openPrivateWindow(); }, nullptr},
        {Place::Item, "mnuFileReopenClosedWindow", "Reopen &Closed Window", "Ctrl+Shift+T", Check::None,
         [](W *w, bool) { w->m_host.reopenClosedWindow(); }, nullptr},
        {Place::Item, "mnuFileOpen", "&Open", "Ctrl+O", Check::None, [](W *w, bool) { w->onOpenTriggered(); }, nullptr},
        {Place::Item, "mnuFileSave", "&Save", "Ctrl+S", Check::None, [](W *w, bool) { w->onSaveTriggered(); }, nullptr},
        {Place::Item, "mnuFileDownloads", "&Downloads", "Ctrl+Shift+Y", Check::None,
         [](W *w, bool) { w->m_host.showDownloads(); }, nullptr},
        {Place::Separator, "mnuSeperator1", "", "", Check::None, nullptr, nullptr},
        {Place::Item, "mnuFilePageSetup", "Page Set&up", "", Check::None,
         [](W *w, bool) { w->m_view->run(BrowserView::Command::PageSetup); }, nullptr},
        {Place::Item, "mnuFilePrint", "&Print", "Ctrl+P", Check::None,
         [](W *w, bool) { w->m_view->run(BrowserView::Command::Print); }, nullptr},
        {Place::Item, "mnuFilePrintPreview", "Print Pre&view", "", Check::None,
         [](W *w, bool) { w->m_view->run(BrowserView::Command::PrintPreview); }, nullptr},
        {Place::Separator, "mnuSeperator2", "", "", Check::None, nullptr, nullptr},
        {Place::Item, "mnuFilePreferences", "Pre&ferences", "", Check::None,
         [](W *w, bool) { w->m_host.showPreferences(); }, nullptr},
        {Place::Item, "mnuFileClearBrowsingData", "C&lear Browsing Data...", "Ctrl+Shift+Del", Check::None,
         [](W *w, bool) { w->m_host.showClearData(); }, nullptr},
        {Place::Separator, "mnuSeperator3", "", "", Check::None, nullptr, nullptr},
        {Place::Item, "mnuFileProperties", "P&roperties", "", Check::None,
         [](W *w, bool) { w->m_view->run(BrowserView::Command::Properties); }, nullptr},
        {Place::Item, "mnuFileExit", "E&xit", "Ctrl+Q", Check::None, [](W *w, bool) { w->close(); }, nullptr},

        {Place::Menu, "mnuEdit", "&Edit", "", Check::None, nullptr, nullptr},
        {Place::Item, "mnuEditUndo", "&Undo", "Ctrl+Z", Check::None,
         [](W *w, bool) { w->m_view->run(BrowserView::Command::Undo); }, nullptr},
        {Place::Item, "mnuEditRedo", "&Redo", "Ctrl+Y", Check::None,
         [](W *w, bool) { w->m_view->run(BrowserView::Command::Redo); }, nullptr},
        {Place::Separator, "mnuSeperator4", "", "", Check::None, nullptr, nullptr},
        {Place::Item, "mnuEditCut", "Cu&t", "Ctrl+X", Check::None,
         [](W *w, bool) { w->m_view->run(BrowserView::Command::Cut); }, nullptr},
        {Place::Item, "mnuEditCopy", "&Copy", "Ctrl+C", Check::None,
         [](W *w, bool) { w->m_view->run(BrowserView::Command::Copy); }, nullptr},
        {Place::Item, "mnuEditPaste", "&Paste", "Ctrl+V", Check::None,
         [](W *w, bool) { w->m_view->run(BrowserView::Command::Paste); }, nullptr},
        {Place::Separator, "mnuSeperator5", "", "", Check::None, nullptr, nullptr},
        {Place::Item, "mnuEditSelectAll", "Select &All", "Ctrl+A", Check::None,
         [](W *w, bool) { w->m_view->run(BrowserView::Command::SelectAll); }, nullptr},
        {Place::Item, "mnuEditSelectNone", "Select &None", "", Check::None,
         [](W *w, bool) { w->m_view->run(BrowserView::Command::ClearSelection); }, nullptr},
        {Place::Separator, "mnuSeperator6", "", "", Check::None, nullptr, nullptr},
        {Place::Item, "mnuEditFind", "&Find", "Ctrl+F", Check::None, [](W *w, bool) { w->onFindTriggered(); }, nullptr},

        {Place::Menu, "mnuView", "&View", "", Check::None, nullptr, nullptr},
        {Place::Item, "mnuViewStatusBar", "Stat&us Bar", "", Check::On,
         [](W *w, bool on) { w->showStatusBar(on); }, &W::m_statusBarItem},
        {Place::Item, "mnuViewSideBar", "Side&bar", "", Check::Off, [](W *w, bool on) { w->showSidebar(on); },
         &W::m_sidebarItem},
        {Place::Item, "mnuViewHistory", "&History", "Ctrl+H", Check::None,
         [](W *w, bool) { w->m_host.showHistory(w); }, nullptr},
        {Place::Separator, "mnuSeperator7", "", "", Check::None, nullptr, nullptr},
        // Each Go to item and Stop and Reload run their button's click, so
        // the two never differ.
        {Place::Submenu, "mnuViewGoTo", "G&o to", "", Check::None, nullptr, nullptr},
        {Place::SubItem, "mnuViewGoToBack", "&Back", "Alt+Left", Check::None, [](W *w, bool) { w->m_back->click(); },
         nullptr},
        {Place::SubItem, "mnuViewGoToForward", "&Forward", "Alt+Right", Check::None,
         [](W *w, bool) { w->m_forward->click(); }, nullptr},
        {Place::SubItem, "mnuViewGoToHome", "&Home", "Alt+Home", Check::None, [](W *w, bool) { w->m_home->click(); },
         nullptr},
        {Place::Item, "mnuViewStop", "Sto&p", "", Check::None, [](W *w, bool) { w->m_stop->click(); }, nullptr},
        {Place::Item, "mnuViewReload", "&Reload", "F5; Ctrl+R", Check::None, [](W *w, bool) { w->m_reload->click(); },
         nullptr},
        {Place::Separator, "mnuSeperator8", "", "", Check::None, nullptr, nullptr},
        {Place::Submenu, "mnuViewTextSizeTop", "Te&xt Size", "", Check::None, nullptr, nullptr},
        {Place::SubItem, "mnuViewTextSize", "Sm&allest", "", Check::Choice, [](W *w, bool) { w->m_view->setTextSize(0); },
         nullptr},
        {Place::SubItem, "mnuViewTextSize", "&Small", "", Check::Choice, [](W *w, bool) { w->m_view->setTextSize(1); },
         nullptr},
        {Place::SubItem, "mnuViewTextSize", "&Medium", "", Check::Chosen, [](W *w, bool) { w->m_view->setTextSize(2); },
         nullptr},
        {Place::SubItem, "mnuViewTextSize", "&Large", "", Check::Choice, [](W *w, bool) { w->m_view->setTextSize(3); },
         nullptr},
        {Place::SubItem, "mnuViewTextSize", "Lar&gest", "", Check::Choice, [](W *w, bool) { w->m_view->setTextSize(4); },
         nullptr},
        // The keypad's keys and "=", the unshifted "+", zoom in as well.
        {Place::Item, "mnuViewZoomIn", "Zoom &In", "Ctrl++; Ctrl+=; Ctrl+Num++", Check::None,
         [](W *w, bool) { w->m_view->zoom(BrowserView::Zoom::In); }, nullptr},
        {Place::Item, "mnuViewZoomOut", "Zoom O&ut", "Ctrl+-; Ctrl+Num+-", Check::None,
         [](W *w, bool) { w->m_view->zoom(BrowserView::Zoom::Out); }, nullptr},
        {Place::Item, "mnuViewZoomReset", "Actual Si&ze", "Ctrl+0; Ctrl+Num+0", Check::None,
         [](W *w, bool) { w->m_view->zoom(BrowserView::Zoom::Reset); }, nullptr},
        {Place::Item, "mnuViewFullScreen", "&Full Screen", "F11", Check::Off,
         [](W *w, bool on) { w->showFullScreenWindow(on); }, &W::m_fullScreenItem},
        {Place::Separator, "mnuSeperator9", "", "", Check::None, nullptr, nullptr},
        {Place::Item, "mnuViewSource", "Sour&ce", "Ctrl+U", Check::None, [](W *w, bool) { w->onViewSourceTriggered(); },
         nullptr},

        {Place::Menu, "mnuHelp", "&Help", "", Check::None, nullptr, nullptr},
        {Place::Item, "mnuHelpAbout", "&About", "", Check::None, [](W *w, bool) { w->m_host.showAbout(); }, nullptr},
    };
    MenuCursor at;
    for (const MenuRow &row : rows)
        addMenuRow(this, at, row);

    addWindowKeys();
}

namespace {

// A key of the window that has no menu item: its action's object name, its
// keys (several separated by "; ") and what it does.
struct KeyRow
{
    const char *name;
    const char *keys;
    void (*run)(MainWindow *window);
    QAction *MainWindow::*keep;
};

} // namespace

void MainWindow::addWindowKeys()
{
    using W = MainWindow;
    static const KeyRow rows[] = {
        // The keys every browser uses to reach its address box.
        {"focusAddressBox", "Ctrl+L; Alt+D; F6", [](W *w) { w->m_addressBox->focusForTyping(); }, nullptr},
        {"reloadBypassingCache", "Ctrl+Shift+R; Shift+F5",
         [](W *w) { w->m_view->run(BrowserView::Command::ReloadBypassingCache); }, nullptr},
        // Its key is Escape while a page loads, and none otherwise.
        {"stopLoading", "", [](W *w) { w->m_stop->click(); }, &W::m_stopKey},
        {"closeWindow", "Ctrl+W", [](W *w) { w->close(); }, nullptr},
        {"findNext", "F3; Ctrl+G", [](W *w) { w->m_view->run(BrowserView::Command::FindNext); }, nullptr},
        {"findPrevious", "Shift+F3; Ctrl+Shift+G", [](W *w) { w->m_view->run(BrowserView::Command::FindPrevious); },
         nullptr},
        {"addFavorite", "Ctrl+D", [](W *w) { w->m_host.addFavorite(w); }, nullptr},
    };
    for (const KeyRow &row : rows) {
        auto *action = new QAction(this);
        action->setObjectName(QString::fromLatin1(row.name));
        action->setShortcuts(QKeySequence::listFromString(QString::fromLatin1(row.keys)));
        addAction(action);
        const auto run = row.run;
        connect(action, &QAction::triggered, this, [this, run] { run(this); });
        if (row.keep)
            this->*row.keep = action;
    }
    connect(m_view, &BrowserView::loadingChanged, m_stopKey, [this](bool loading) {
        m_stopKey->setShortcut(loading ? QKeySequence(Qt::Key_Escape) : QKeySequence());
    });
}
