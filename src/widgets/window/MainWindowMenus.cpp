#include "MainWindow.h"

#include "AddressBox.h"
#include "WindowHost.h"

#include <QAction>
#include <QMenuBar>
#include <QPushButton>

namespace {

struct MenuSpec
{
    const char *name;
    const char *caption;     // "-" is a separator
    const char *shortcut;    // empty for none
    int check;               // -1 not checkable, 0 unchecked, 1 checked
    int depth;               // 0 menu title, 1 item, 2 item of a submenu
};

// The menu bar as the user sees it, top to bottom.
const MenuSpec kMenus[] = {
    {"mnuFile", "&File", "", -1, 0},
    {"mnuFileNewWindow", "&New Window", "Ctrl+N", -1, 1},
    {"mnuFileOpen", "&Open", "Ctrl+O", -1, 1},
    {"mnuFileSave", "&Save", "Ctrl+S", -1, 1},
    {"mnuSeperator1", "-", "", -1, 1},
    {"mnuFilePageSetup", "Page Set&up", "", -1, 1},
    {"mnuFilePrint", "&Print", "Ctrl+P", -1, 1},
    {"mnuFilePrintPreview", "Print Pre&view", "", -1, 1},
    {"mnuSeperator2", "-", "", -1, 1},
    {"mnuFilePreferences", "Pre&ferences", "", -1, 1},
    {"mnuSeperator3", "-", "", -1, 1},
    {"mnuFileProperties", "P&roperties", "", -1, 1},
    {"mnuFileExit", "E&xit", "", -1, 1},
    {"mnuEdit", "&Edit", "", -1, 0},
    {"mnuEditUndo", "&Undo", "Ctrl+Z", -1, 1},
    {"mnuEditRedo", "&Redo", "Ctrl+Y", -1, 1},
    {"mnuSeperator4", "-", "", -1, 1},
    {"mnuEditCut", "Cu&t", "Ctrl+X", -1, 1},
    {"mnuEditCopy", "&Copy", "Ctrl+C", -1, 1},
    {"mnuEditPaste", "&Paste", "Ctrl+V", -1, 1},
    {"mnuSeperator5", "-", "", -1, 1},
    {"mnuEditSelectAll", "Select &All", "Ctrl+A", -1, 1},
    {"mnuEditSelectNone", "Select &None", "", -1, 1},
    {"mnuSeperator6", "-", "", -1, 1},
    {"mnuEditFind", "&Find", "Ctrl+F", -1, 1},
    {"mnuView", "&View", "", -1, 0},
    {"mnuViewStatusBar", "Stat&us Bar", "", 1, 1},
    {"mnuViewSideBar", "Side&bar", "", 0, 1},
    {"mnuSeperator7", "-", "", -1, 1},
    {"mnuViewGoTo", "G&o to", "", -1, 1},
    {"mnuViewGoToBack", "&Back", "", -1, 2},
    {"mnuViewGoToForward", "&Forward", "", -1, 2},
    {"mnuViewGoToHome", "&Home", "", -1, 2},
    {"mnuViewStop", "Sto&p", "", -1, 1},
    {"mnuViewReload", "&Reload", "F5", -1, 1},
    {"mnuSeperator8", "-", "", -1, 1},
    {"mnuViewTextSizeTop", "Te&xt Size", "", -1, 1},
    {"mnuViewTextSize", "Sm&allest", "", 0, 2},
    {"mnuViewTextSize", "&Small", "", 0, 2},
    {"mnuViewTextSize", "&Medium", "", 1, 2},
    {"mnuViewTextSize", "&Large", "", 0, 2},
    {"mnuViewTextSize", "Lar&gest", "", 0, 2},
    {"mnuSeperator9", "-", "", -1, 1},
    {"mnuViewSource", "Sour&ce", "", -1, 1},
    {"mnuHelp", "&Help", "", -1, 0},
    {"mnuHelpAbout", "&About", "", -1, 1},
};

bool opensSubmenu(const QString &name)
{
    return name == QLatin1String("mnuViewGoTo") || name == QLatin1String("mnuViewTextSizeTop");
}

} // namespace

void MainWindow::buildMenus()
{
    QMenu *menu = nullptr;
    QMenu *sub = nullptr;
    for (const MenuSpec &spec : kMenus) {
        const QString name = QString::fromLatin1(spec.name);
        const QString caption = QString::fromLatin1(spec.caption);
        if (spec.depth == 0) {
            menu = menuBar()->addMenu(caption);
            menu->setObjectName(name);
            menu->menuAction()->setObjectName(name);
            sub = nullptr;
            continue;
        }
        QMenu *target = spec.depth == 1 ? menu : sub;
        QAction *a = nullptr;
        if (caption == QLatin1String("-")) {
            a = target->addSeparator();
        } else if (opensSubmenu(name)) {
            sub = target->addMenu(caption);
            sub->setObjectName(name);
            a = sub->menuAction();
        } else {
            a = target->addAction(caption);
        }
        a->setObjectName(name);
        if (*spec.shortcut)
            a->setShortcut(QKeySequence(QString::fromLatin1(spec.shortcut)));
        if (spec.check >= 0) {
            a->setCheckable(true);
            a->setChecked(spec.check == 1);
        }
        if (name == QLatin1String("mnuViewTextSize"))
            m_textSize.append(a);
    }
    connectMenus();
}

void MainWindow::connectMenus()
{
    auto on = [this](const char *name, auto fn) {
        connect(menuAction(QString::fromLatin1(name)), &QAction::triggered, this, fn);
    };
    auto command = [this](BrowserView::Command c) { return [this, c] { m_view->run(c); }; };
    on("mnuFileNewWindow", [this] { onNewWindowTriggered(); });
    on("mnuFileOpen", [this] { onOpenTriggered(); });
    on("mnuFileSave", [this] { onSaveTriggered(); });
    on("mnuFilePageSetup", command(BrowserView::Command::PageSetup));
    on("mnuFilePrint", command(BrowserView::Command::Print));
    on("mnuFilePrintPreview", command(BrowserView::Command::PrintPreview));
    on("mnuFilePreferences", [this] { m_host.showPreferences(); });
    on("mnuFileProperties", command(BrowserView::Command::Properties));
    on("mnuFileExit", [this] { close(); });
    on("mnuEditUndo", command(BrowserView::Command::Undo));
    on("mnuEditRedo", command(BrowserView::Command::Redo));
    on("mnuEditCut", command(BrowserView::Command::Cut));
    on("mnuEditCopy", command(BrowserView::Command::Copy));
    on("mnuEditPaste", command(BrowserView::Command::Paste));
    on("mnuEditSelectAll", command(BrowserView::Command::SelectAll));
    on("mnuEditSelectNone", command(BrowserView::Command::ClearSelection));
    on("mnuEditFind", [this] { onFindTriggered(); });
    // A checkable action flips its own mark before it reports the click; the
    // two toggles flip the mark themselves, in their own order, so the
    // automatic flip is taken back first.
    on("mnuViewStatusBar", [this] {
        QAction *a = menuAction(QStringLiteral("mnuViewStatusBar"));
        a->setChecked(!a->isChecked());
        onViewStatusBarTriggered();
    });
    on("mnuViewSideBar", [this] {
        QAction *a = menuAction(QStringLiteral("mnuViewSideBar"));
        a->setChecked(!a->isChecked());
        onViewSidebarTriggered();
    });
    // Each menu item runs its button's handler, so the two never differ.
    on("mnuViewGoToBack", [this] { m_back->click(); });
    on("mnuViewGoToForward", [this] { m_forward->click(); });
    on("mnuViewGoToHome", [this] { m_home->click(); });
    on("mnuViewStop", [this] { m_stop->click(); });
    on("mnuViewReload", [this] { m_reload->click(); });
    on("mnuViewSource", [this] { onViewSourceTriggered(); });
    on("mnuHelpAbout", [this] { m_host.showAbout(); });
    for (int i = 0; i < m_textSize.size(); ++i)
        connect(m_textSize[i], &QAction::triggered, this, [this, i] { onTextSizeTriggered(i); });

    // The keys every browser uses to reach its address box; not in a menu.
    auto *toAddress = new QAction(this);
    toAddress->setObjectName(QStringLiteral("focusAddressBox"));
    toAddress->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_L), QKeySequence(Qt::ALT | Qt::Key_D),
                             QKeySequence(Qt::Key_F6)});
    addAction(toAddress);
    connect(toAddress, &QAction::triggered, m_addressBox, &AddressBox::focusForTyping);
}

QAction *MainWindow::menuAction(const QString &name) const
{
    const auto all = findChildren<QAction *>(name);
    return all.isEmpty() ? nullptr : all.first();
}
