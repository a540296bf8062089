#include "frmMain.h"

#include "AddressBox.h"
#include "StatusPanels.h"
#include "Twips.h"
#include "settings/Settings.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLayout>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTabWidget>

const char *const kBuiltInHomePage = "qrc:/kestrel/start.html";

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

QPushButton *makeButton(QWidget *parent, const char *name, const char *text, QRect twips)
{
    return Twips::place(new QPushButton(QString::fromLatin1(text), parent), name, twips.x(), twips.y(),
                        twips.width(), twips.height());
}

} // namespace

frmMain::Hooks &frmMain::hooks()
{
    static Hooks h;
    return h;
}

std::function<BrowserView *(QWidget *)> &frmMain::viewFactory()
{
    static std::function<BrowserView *(QWidget *)> f;
    return f;
}

QString homeAddress()
{
    const QSettings store(QStringLiteral("Kestrel"), QStringLiteral("Kestrel"));
    const QVariant v = store.value(QStringLiteral("Settings/Home"));
    return v.isValid() ? v.toString() : QString::fromLatin1(kBuiltInHomePage);
}

frmMain::frmMain(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Kestrel"));
    buildControls();
    if (hooks().viewCreated)
        hooks().viewCreated(this);
    buildMenus();
    Twips::fitToCaptions(this);

    // Open at the designed client size when the screen allows it.
    QSize client(Twips::toPixels(11670), Twips::toPixels(14550));
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QSize avail = screen->availableGeometry().size();
        client = client.boundedTo(QSize(avail.width() - 16, avail.height() - 80));
    }
    resize(client.width(), client.height() + menuBar()->sizeHint().height());
    if (QLayout *l = layout())
        l->activate();
    dockStatusBar();
    Form_Resize();
}

frmMain::~frmMain() = default;

void frmMain::buildControls()
{
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    setCentralWidget(m_client);

    Browser = viewFactory() ? viewFactory()(m_client) : nullptr;
    Q_ASSERT(Browser);
    Browser->setParent(this);
    QWidget *view = Browser->widget();
    view->setParent(m_client);
    view->setObjectName(QStringLiteral("Browser"));
    view->setGeometry(Twips::toPixels(0, 1200, 11535, 12735));

    cboURL = new AddressBox(m_client);
    cboURL->setObjectName(QStringLiteral("cboURL"));
    cboURL->setGeometry(Twips::toPixels(0, 720, 11655, 315));

    Sidebar = new QTabWidget(m_client);
    Sidebar->setObjectName(QStringLiteral("Sidebar"));
    Sidebar->addTab(new QWidget, QStringLiteral("Favorites"));
    Sidebar->setGeometry(Twips::toPixels(0, 1200, 4005, 12735));
    Sidebar->setVisible(false);

    cmdBack = makeButton(m_client, "cmdBack", "Back", QRect(120, 120, 855, 495));
    cmdForward = makeButton(m_client, "cmdForward", "Forward", QRect(1080, 120, 855, 495));
    cmdStop = makeButton(m_client, "cmdStop", "Stop", QRect(2040, 120, 855, 495));
    cmdReload = makeButton(m_client, "cmdReload", "Reload", QRect(3000, 120, 855, 495));
    cmdHome = makeButton(m_client, "cmdHome", "Home", QRect(3960, 120, 855, 495));
    cmdSidebar = makeButton(m_client, "cmdSidebar", "Sidebar", QRect(4920, 120, 855, 495));

    StatusBar = new StatusPanels(m_client);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));

    ProgressBar = new QProgressBar(m_client);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    ProgressBar->setTextVisible(false);
    ProgressBar->setGeometry(Twips::toPixels(960, 13920, 1335, 375));

    // The favorites controls are placed against the tab control itself, as
    // the design figures count from its top edge, tab row included.
    lstFavs = new QListWidget(Sidebar);
    lstFavs->setObjectName(QStringLiteral("lstFavs"));
    lstFavs->setGeometry(Twips::toPixels(120, 1080, 3735, 9420));
    cmdFavAdd = makeButton(Sidebar, "cmdFavAdd", "Add Favorite", QRect(120, 480, 1875, 255));
    cmdFavDelete = makeButton(Sidebar, "cmdFavDelete", "Delete Favorite", QRect(1995, 480, 1875, 255));
    cmdFavEdit = makeButton(Sidebar, "cmdFavEdit", "Edit Favorite", QRect(1058, 720, 1875, 255));
    for (QWidget *w : {static_cast<QWidget *>(lstFavs), static_cast<QWidget *>(cmdFavAdd),
                       static_cast<QWidget *>(cmdFavDelete), static_cast<QWidget *>(cmdFavEdit)})
        w->raise();

    const QList<QWidget *> order = {view, cboURL, Sidebar, cmdBack, cmdForward, cmdStop, cmdReload,
                                    cmdHome, cmdSidebar, StatusBar, ProgressBar, lstFavs,
                                    cmdFavAdd, cmdFavDelete, cmdFavEdit};
    for (int i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);

    connect(cmdBack, &QPushButton::clicked, Browser, &BrowserView::goBack);
    connect(cmdForward, &QPushButton::clicked, Browser, &BrowserView::goForward);
    connect(cmdStop, &QPushButton::clicked, Browser, &BrowserView::stop);
    connect(cmdReload, &QPushButton::clicked, Browser, &BrowserView::reload);
    connect(cmdHome, &QPushButton::clicked, this, &frmMain::cmdHome_Click);
    connect(cmdSidebar, &QPushButton::clicked, this, &frmMain::cmdSidebar_Click);
    connect(cboURL, &AddressBox::navigateRequested, Browser, [this](const QString &address) { Browser->navigate(address); });

    connect(Browser, &BrowserView::statusTextChanged, this, &frmMain::Browser_StatusTextChange);
    connect(Browser, &BrowserView::progressChanged, this, &frmMain::Browser_ProgressChange);
    connect(Browser, &BrowserView::titleChanged, this, &frmMain::Browser_TitleChange);
    connect(Browser, &BrowserView::newWindowRequested, this, &frmMain::Browser_NewWindow2, Qt::DirectConnection);
    connect(Browser, &BrowserView::closeRequested, this, [this] {
        m_pageLetGo = true;
        close();
    });
}

void frmMain::buildMenus()
{
    QMenu *menu = nullptr;
    QMenu *sub = nullptr;
    QMenu *target = nullptr;
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
        if (spec.depth == 1) {
            target = menu;
            sub = nullptr;
        } else {
            target = sub;
        }
        QAction *a = nullptr;
        if (caption == QLatin1String("-")) {
            a = target->addSeparator();
        } else if (name == QLatin1String("mnuViewGoTo") || name == QLatin1String("mnuViewTextSizeTop")) {
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

    auto on = [this](const char *name, auto fn) {
        connect(menuAction(QString::fromLatin1(name)), &QAction::triggered, this, fn);
    };
    on("mnuFileNewWindow", [this] { mnuFileNewWindow_Click(); });
    on("mnuFileOpen", [this] { mnuFileOpen_Click(); });
    on("mnuFileSave", [this] { mnuFileSave_Click(); });
    on("mnuFilePageSetup", [this] { execOnView(BrowserView::Command::PageSetup); });
    on("mnuFilePrint", [this] { execOnView(BrowserView::Command::Print); });
    on("mnuFilePrintPreview", [this] { execOnView(BrowserView::Command::PrintPreview); });
    on("mnuFilePreferences", [] { if (hooks().showPreferences) hooks().showPreferences(); });
    on("mnuFileProperties", [this] { execOnView(BrowserView::Command::Properties); });
    on("mnuFileExit", [this] { close(); });
    on("mnuEditUndo", [this] { execOnView(BrowserView::Command::Undo); });
    on("mnuEditRedo", [this] { execOnView(BrowserView::Command::Redo); });
    on("mnuEditCut", [this] { execOnView(BrowserView::Command::Cut); });
    on("mnuEditCopy", [this] { execOnView(BrowserView::Command::Copy); });
    on("mnuEditPaste", [this] { execOnView(BrowserView::Command::Paste); });
    on("mnuEditSelectAll", [this] { execOnView(BrowserView::Command::SelectAll); });
    on("mnuEditSelectNone", [this] { execOnView(BrowserView::Command::ClearSelection); });
    on("mnuEditFind", [this] { mnuEditFind_Click(); });
    // A checkable action flips its own mark before it reports the click; the
    // two toggles flip the mark themselves, in their own order, so the
    // automatic flip is taken back first.
    on("mnuViewStatusBar", [this] {
        QAction *a = menuAction(QStringLiteral("mnuViewStatusBar"));
        a->setChecked(!a->isChecked());
        mnuViewStatusBar_Click();
    });
    on("mnuViewSideBar", [this] {
        QAction *a = menuAction(QStringLiteral("mnuViewSideBar"));
        a->setChecked(!a->isChecked());
        mnuViewSideBar_Click();
    });
    // Each menu item runs its button's handler, so the two never differ.
    on("mnuViewGoToBack", [this] { cmdBack->click(); });
    on("mnuViewGoToForward", [this] { cmdForward->click(); });
    on("mnuViewGoToHome", [this] { cmdHome->click(); });
    on("mnuViewStop", [this] { cmdStop->click(); });
    on("mnuViewReload", [this] { cmdReload->click(); });
    on("mnuViewSource", [this] { mnuViewSource_Click(); });
    on("mnuHelpAbout", [] { if (hooks().showAbout) hooks().showAbout(); });
    for (int i = 0; i < m_textSize.size(); ++i)
        connect(m_textSize[i], &QAction::triggered, this, [this, i] { mnuViewTextSize_Click(i); });

    // The keys every browser uses to reach its address box; not in a menu.
    auto *toAddress = new QAction(this);
    toAddress->setObjectName(QStringLiteral("focusAddressBox"));
    toAddress->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_L), QKeySequence(Qt::ALT | Qt::Key_D),
                             QKeySequence(Qt::Key_F6)});
    addAction(toAddress);
    connect(toAddress, &QAction::triggered, cboURL, &AddressBox::focusForTyping);

}

QAction *frmMain::menuAction(const QString &name) const
{
    const auto all = findChildren<QAction *>(name);
    return all.isEmpty() ? nullptr : all.first();
}

QFileDialog *frmMain::Dialog()
{
    if (!m_dialog) {
        m_dialog = new QFileDialog(this);
        m_dialog->setObjectName(QStringLiteral("Dialog"));
    }
    return m_dialog;
}

int frmMain::textSizeIndex() const
{
    for (int i = 0; i < m_textSize.size(); ++i) {
        if (m_textSize[i]->isChecked())
            return i;
    }
    return -1;
}

QSizeF frmMain::outerSizeTwips() const
{
    return QSizeF(Twips::fromPixels(m_client->width()) + kFrameAllowanceWidth,
                  Twips::fromPixels(m_client->height()) + kFrameAllowanceHeight);
}

void frmMain::Form_Resize()
{
    const QSizeF outer = outerSizeTwips();
    m_layout = layoutPass(LayoutInput{float(outer.width()), float(outer.height()),
                                      Sidebar->isVisibleTo(this), StatusBar->isVisibleTo(this),
                                      float(qMax(4005.0, Twips::fromPixels(Sidebar->width())))},
                          m_layout);
    auto px = [](float twips) { return Twips::toPixels(twips); };
    cboURL->resize(px(m_layout.cboWidth), cboURL->height());
    Browser->widget()->setGeometry(px(m_layout.browserLeft), px(kSidebarTop),
                                   px(m_layout.browserWidth), px(m_layout.browserHeight));
    Sidebar->resize(Sidebar->width(), px(m_layout.sidebarHeight));
    lstFavs->resize(lstFavs->width(), px(m_layout.listHeight));
}

void frmMain::dockStatusBar()
{
    const int h = Twips::toPixels(375);
    StatusBar->setGeometry(0, m_client->height() - h, m_client->width(), h);
    // The bar belongs over panel 2; when the window's edge carries the status
    // bar away, the bar goes with it instead of floating over the page.
    if (ProgressBar->isVisible())
        placeProgressBar();
}

void frmMain::placeProgressBar()
{
    const QRect panel = StatusBar->panelRect(2);
    const double left = Twips::fromPixels(panel.x()) + 30;
    const double top = Twips::fromPixels(StatusBar->y()) + 45;
    const double width = Twips::fromPixels(panel.width()) - 60;
    const double height = Twips::fromPixels(StatusBar->height()) - 60;
    if (width >= 0 && height >= 0)
        ProgressBar->setGeometry(Twips::toPixels(left, top, width, height));
}

void frmMain::resizeEvent(QResizeEvent *e)
{
    QMainWindow::resizeEvent(e);
    if (QLayout *l = layout())
        l->activate();
    dockStatusBar();
    Form_Resize();
}

void frmMain::closeEvent(QCloseEvent *e)
{
    if (!m_pageLetGo) {
        if (hooks().closeStep && !hooks().closeStep(this)) {
            e->ignore();
            return;
        }
        // The page may hold the user's unsaved work: it is asked first, and
        // the window closes when it lets go.
        if (Browser->askPageToClose()) {
            e->ignore();
            return;
        }
    }
    QMainWindow::closeEvent(e);
}

void frmMain::cmdSidebar_Click()
{
    Sidebar->setVisible(!Sidebar->isVisibleTo(this));
    menuAction(QStringLiteral("mnuViewSideBar"))->setChecked(Sidebar->isVisibleTo(this));
    Form_Resize();
}

void frmMain::mnuViewSideBar_Click()
{
    QAction *item = menuAction(QStringLiteral("mnuViewSideBar"));
    item->setChecked(!item->isChecked());
    Sidebar->setVisible(item->isChecked());
    Form_Resize();
}

void frmMain::mnuViewStatusBar_Click()
{
    QAction *item = menuAction(QStringLiteral("mnuViewStatusBar"));
    item->setChecked(!item->isChecked());
    StatusBar->setVisible(item->isChecked());
    ProgressBar->setVisible(false);
    m_progress.visible = false;
    Form_Resize();
}

void frmMain::cmdHome_Click()
{
    Browser->navigate(homeAddress());
}

void frmMain::Browser_StatusTextChange(const QString &text)
{
    StatusBar->setPanelText(1, text);
}

void frmMain::Browser_TitleChange(const QString &text)
{
    // A page may set a title of any length; a caption of megabytes stalls
    // the window system and shows nothing useful.
    constexpr int kLongestTitle = 1000;
    const QString title = text.size() > kLongestTitle ? text.left(kLongestTitle) + QChar(0x2026) : text;
    setWindowTitle(title + QStringLiteral(" - Kestrel"));
}

void frmMain::Browser_ProgressChange(int progress, int progressMax)
{
    if (!StatusBar->isVisibleTo(this))
        return;
    m_progress = progressStep(m_progress, progress, progressMax);
    ProgressBar->setValue(int(m_progress.value));
    if (m_progress.visible) {
        ProgressBar->raise();
        ProgressBar->show();
        placeProgressBar();
    } else {
        ProgressBar->hide();
    }
}

void frmMain::Browser_NewWindow2(BrowserView **ppDisp, bool *cancel)
{
    if (ReadIniValue(QStringLiteral("Settings"), QStringLiteral("PopUp")) == QLatin1String("Reject")) {
        *cancel = true;
        return;
    }
    frmMain *w = hooks().createWindow ? hooks().createWindow() : nullptr;
    if (!w) {
        *cancel = true;
        return;
    }
    *ppDisp = w->Browser;
    w->Browser->setOpenedByPage(true);
    w->Browser->setSilent(Browser->isSilent());
    w->show();
    *cancel = false;
}

void OpenNewBrowserWindow(const QString &url, bool silent)
{
    frmMain *w = frmMain::hooks().createWindow ? frmMain::hooks().createWindow() : nullptr;
    if (!w)
        return;
    w->Browser->setSilent(silent);
    w->Browser->navigate(url);
    w->show();
}

void frmMain::mnuFileNewWindow_Click()
{
    OpenNewBrowserWindow(Browser->address(), Browser->isSilent());
}

void frmMain::mnuFileOpen_Click()
{
    QFileDialog *dlg = Dialog();
    dlg->setWindowTitle(QStringLiteral("Open"));
    dlg->setFileMode(QFileDialog::ExistingFile);
    dlg->setAcceptMode(QFileDialog::AcceptOpen);
    dlg->setNameFilters({QStringLiteral("Web Pages (*.htm *.html)"), QStringLiteral("All Files (*)")});
    dlg->selectNameFilter(dlg->nameFilters().constFirst());
    dlg->setWindowModality(Qt::WindowModal);
    if (dlg->exec() != QDialog::Accepted)
        return;
    const QStringList files = dlg->selectedFiles();
    if (files.isEmpty() || files.constFirst().isEmpty())
        return;
    Browser->navigate(files.constFirst());
}

void frmMain::mnuFileSave_Click()
{
    if (Browser->address().isEmpty())
        return;
    Browser->run(BrowserView::Command::SaveAs);
}

void frmMain::execOnView(BrowserView::Command command)
{
    Browser->run(command);
}

void frmMain::mnuViewTextSize_Click(int index)
{
    for (QAction *a : m_textSize)
        a->setChecked(false);
    m_textSize[index]->setChecked(true);
    Browser->setTextSize(index);
}

void frmMain::mnuViewSource_Click()
{
    Browser->navigate(QStringLiteral("view-source:") + Browser->address());
}

void frmMain::mnuEditFind_Click()
{
    Browser->widget()->setFocus(Qt::ShortcutFocusReason);
    Browser->showFind();
}
