#include "MainWindow.h"

#include "AddressBox.h"
#include "SiteLabel.h"
#include "StatusPanels.h"
#include "common/Twips.h"
#include "WindowHost.h"
#include "favorites/FavoritesPanel.h"
#include "settings/Preferences.h"
#include "window/TypedAddress.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLayout>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QWindow>

namespace {

QPushButton *makeButton(QWidget *parent, const char *name, const char *text, QRect twips)
{
    return Twips::place(new QPushButton(QString::fromLatin1(text), parent), name, twips.x(), twips.y(),
                        twips.width(), twips.height());
}

} // namespace

MainWindow::MainWindow(WindowHost &host, const ViewStart &start, QWidget *parent)
    : QMainWindow(parent)
    , m_host(host)
{
    setObjectName(QStringLiteral("frmMain"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls(start);
    setWindowTitle(captionSuffix().mid(3));
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
    layoutControls();
    placeProgressBar();
    m_site->setSite(m_view->site());
}

MainWindow::~MainWindow() = default;

void MainWindow::buildControls(const ViewStart &start)
{
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    setCentralWidget(m_client);

    // The host may start the first page as soon as the view exists: the
    // engine fetches it while the rest of the window is built.
    m_view = m_host.createView(m_client, start);
    Q_ASSERT(m_view);
    m_view->setParent(this);
    QWidget *view = m_view->widget();
    view->setParent(m_client);
    view->setObjectName(QStringLiteral("Browser"));
    view->setGeometry(Twips::toPixels(0, 1200, 11535, 12735));

    m_addressBox = new AddressBox(m_client);
    m_addressBox->setObjectName(QStringLiteral("cboURL"));
    m_addressBox->setGeometry(Twips::toPixels(0, 720, 11655, 315));

    m_sidebar = new QTabWidget(m_client);
    m_sidebar->setObjectName(QStringLiteral("Sidebar"));
    m_sidebar->addTab(new QWidget, QStringLiteral("Favorites"));
    m_sidebar->setGeometry(Twips::toPixels(0, 1200, 4005, 12735));
    m_sidebar->setVisible(false);

    buildButtons();
    buildStatusBar();

    // The favorites controls lie over the tab control itself, as the design
    // figures count from its top edge, tab row included.
    m_favorites = new FavoritesPanel(m_host.favorites(), m_sidebar);
    m_favorites->raise();

    const QList<QWidget *> order = {view, m_addressBox, m_sidebar, m_back, m_forward, m_stop, m_reload,
                                    m_home, m_sidebarButton, m_statusBar, m_progressBar, m_favorites};
    for (int i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);
    connectControls();
    connectView();
    nameForScreenReaders();
}

void MainWindow::nameForScreenReaders()
{
    const auto name = [](QWidget *w, const char *text, const char *description) {
        w->setAccessibleName(QString::fromLatin1(text));
        w->setAccessibleDescription(QString::fromLatin1(description));
    };
    name(m_view->widget(), "Page", "The web page");
    name(m_sidebar, "Sidebar", "Your favorites");
    name(m_progressBar, "Loading progress", "How much of the page has loaded");
    name(m_statusBar, "Status bar", "What the page is doing");
}

void MainWindow::buildButtons()
{
    m_back = makeButton(m_client, "cmdBack", "Back", QRect(120, 120, 855, 495));
    m_forward = makeButton(m_client, "cmdForward", "Forward", QRect(1080, 120, 855, 495));
    m_stop = makeButton(m_client, "cmdStop", "Stop", QRect(2040, 120, 855, 495));
    m_reload = makeButton(m_client, "cmdReload", "Reload", QRect(3000, 120, 855, 495));
    m_home = makeButton(m_client, "cmdHome", "Home", QRect(3960, 120, 855, 495));
    m_sidebarButton = makeButton(m_client, "cmdSidebar", "Sidebar", QRect(4920, 120, 855, 495));
    // Placed after the buttons have their final size: see placeSiteLabel().
    m_site = new SiteLabel(m_client);
    m_site->setObjectName(QStringLiteral("lblSite"));
}

void MainWindow::buildStatusBar()
{
    m_statusBar = new StatusPanels(m_client);
    m_statusBar->setObjectName(QStringLiteral("StatusBar"));

    m_progressBar = new QProgressBar(m_client);
    m_progressBar->setObjectName(QStringLiteral("ProgressBar"));
    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);
    m_progressBar->setTextVisible(false);
    m_progressBar->setGeometry(Twips::toPixels(960, 13920, 1335, 375));
}

void MainWindow::connectControls()
{
    connect(m_back, &QPushButton::clicked, m_view, &BrowserView::goBack);
    connect(m_forward, &QPushButton::clicked, m_view, &BrowserView::goForward);
    connect(m_stop, &QPushButton::clicked, m_view, &BrowserView::stop);
    connect(m_reload, &QPushButton::clicked, m_view, &BrowserView::reload);
    connect(m_home, &QPushButton::clicked, this, &MainWindow::onHomeClicked);
    connect(m_sidebarButton, &QPushButton::clicked, this, &MainWindow::onSidebarClicked);
    connect(m_addressBox, &AddressBox::navigateRequested, this, &MainWindow::openTyped);
    connect(m_favorites, &FavoritesPanel::openRequested, m_view,
            [this](const QString &address) { m_view->navigate(address); });
    connect(m_favorites, &FavoritesPanel::addRequested, this, [this] { m_host.addFavorite(this); });
    connect(m_favorites, &FavoritesPanel::editRequested, this, [this](int index) { m_host.editFavorite(this, index); });
}

void MainWindow::connectView()
{
    connect(m_view, &BrowserView::statusTextChanged, this, &MainWindow::showStatusText);
    connect(m_view, &BrowserView::progressChanged, this, &MainWindow::showProgress);
    connect(m_view, &BrowserView::titleChanged, this, &MainWindow::showTitle);
    connect(m_view, &BrowserView::siteChanged, m_site, &SiteLabel::setSite);
    connect(m_view, &BrowserView::newWindowRequested, this, &MainWindow::handleNewWindowRequest,
            Qt::DirectConnection);
    connect(m_view, &BrowserView::closeRequested, this, [this] {
        m_pageLetGo = true;
        close();
    });
    connect(m_view, &BrowserView::openInNewWindowRequested, this, &MainWindow::openInNewWindow);
    connect(m_view, &BrowserView::addFavoriteRequested, this,
            [this](const QString &name, const QString &address) { m_host.addLinkToFavorites(this, name, address); });
}

void MainWindow::openTyped(const QString &typed)
{
    const TypedAddress target = TypedAddress::from(typed);
    switch (target.kind) {
    case TypedAddress::Kind::Nothing:
        return;
    case TypedAddress::Kind::Address:
        m_view->navigate(target.text);
        return;
    case TypedAddress::Kind::Search:
        m_view->navigate(searchAddress(Preferences::load().searchUrl, target.text));
        return;
    }
}

QSizeF MainWindow::outerSizeTwips() const
{
    return QSizeF(Twips::fromPixels(m_client->width()) + kFrameAllowanceWidth,
                  Twips::fromPixels(m_client->height()) + kFrameAllowanceHeight);
}

void MainWindow::layoutControls()
{
    const QSizeF outer = outerSizeTwips();
    m_layout = layoutPass(LayoutInput{float(outer.width()), float(outer.height()),
                                      m_sidebar->isVisibleTo(this), m_statusBar->isVisibleTo(this),
                                      float(qMax(4005.0, Twips::fromPixels(m_sidebar->width())))},
                          m_layout);
    auto px = [](float twips) { return Twips::toPixels(twips); };
    m_addressBox->resize(px(m_layout.cboWidth), m_addressBox->height());
    m_view->widget()->setGeometry(px(m_layout.browserLeft), px(kSidebarTop), px(m_layout.browserWidth),
                                  px(m_layout.browserHeight));
    m_sidebar->resize(m_sidebar->width(), px(m_layout.sidebarHeight));
    m_favorites->setListHeight(px(m_layout.listHeight));
    placeSiteLabel();
}

void MainWindow::placeSiteLabel()
{
    // From the last button, as it was grown for its caption, to the window's
    // edge: the label takes what room is left and never moves a button.
    const int gap = Twips::toPixels(120);
    const int left = m_sidebarButton->geometry().right() + 1 + gap;
    m_site->setGeometry(left, m_sidebarButton->y(), qMax(0, m_client->width() - left - gap),
                        m_sidebarButton->height());
}

void MainWindow::dockStatusBar()
{
    const int h = Twips::toPixels(375);
    m_statusBar->setGeometry(0, m_client->height() - h, m_client->width(), h);
    // The bar belongs over panel 2; when the window's edge carries the status
    // bar away, the bar goes with it instead of floating over the page.
    if (m_progressBar->isVisible())
        placeProgressBar();
}

void MainWindow::placeProgressBar()
{
    const QRect panel = m_statusBar->panelRect(2);
    const double left = Twips::fromPixels(panel.x()) + 30;
    const double top = Twips::fromPixels(m_statusBar->y()) + 45;
    const double width = Twips::fromPixels(panel.width()) - 60;
    const double height = Twips::fromPixels(m_statusBar->height()) - 60;
    if (width >= 0 && height >= 0)
        m_progressBar->setGeometry(Twips::toPixels(left, top, width, height));
}

void MainWindow::resizeEvent(QResizeEvent *e)
{
    QMainWindow::resizeEvent(e);
    if (QLayout *l = layout())
        l->activate();
    dockStatusBar();
    layoutControls();
}

void MainWindow::closeEvent(QCloseEvent *e)
{
    if (!m_pageLetGo) {
        if (!m_host.confirmClose(this)) {
            e->ignore();
            return;
        }
        // The page may hold the user's unsaved work: it is asked first, and
        // the window closes when it lets go.
        if (m_view->askPageToClose()) {
            e->ignore();
            return;
        }
    } else if (m_host.downloadsNeedWindow(this)) {
        // A page closing the last window would end the downloads unasked.
        m_pageLetGo = false;
        showStatusText(QStringLiteral("This window stays open while downloads run."));
        e->ignore();
        return;
    }
    m_host.windowClosing(this);
    QMainWindow::closeEvent(e);
}

void MainWindow::showEvent(QShowEvent *e)
{
    QMainWindow::showEvent(e);
    // The mouse's back and forward buttons act anywhere in the window, over
    // the page too, whose events the window's own handle sees first.
    if (QWindow *handle = windowHandle())
        handle->installEventFilter(this);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *e)
{
    const bool press = e->type() == QEvent::MouseButtonPress;
    if (watched == windowHandle() && (press || e->type() == QEvent::MouseButtonRelease)) {
        const Qt::MouseButton button = static_cast<QMouseEvent *>(e)->button();
        if (button == Qt::BackButton || button == Qt::ForwardButton) {
            if (press)
                (button == Qt::BackButton ? m_back : m_forward)->click();
            // Neither half goes on to the page, which would take a second step.
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

void MainWindow::changeEvent(QEvent *e)
{
    QMainWindow::changeEvent(e);
    // The window manager may end full screen on its own.
    if (e->type() == QEvent::WindowStateChange && m_fullScreenItem)
        m_fullScreenItem->setChecked(isFullScreen());
}

void MainWindow::showFullScreenWindow(bool on)
{
    if (on == isFullScreen())
        return;
    if (on) {
        m_beforeFullScreen = geometry();
        m_maximizedBeforeFullScreen = isMaximized();
        // Also where no window manager carries out the full-screen state.
        if (const QScreen *s = screen())
            setGeometry(s->geometry());
        showFullScreen();
    } else if (m_maximizedBeforeFullScreen) {
        showMaximized();
    } else {
        showNormal();
        setGeometry(m_beforeFullScreen);
    }
}

void MainWindow::onSidebarClicked()
{
    const bool on = !m_sidebar->isVisibleTo(this);
    m_sidebarItem->setChecked(on);
    showSidebar(on);
}

void MainWindow::showSidebar(bool on)
{
    m_sidebar->setVisible(on);
    layoutControls();
}

void MainWindow::showStatusBar(bool on)
{
    m_statusBar->setVisible(on);
    m_progressBar->setVisible(false);
    m_progress.visible = false;
    layoutControls();
}

void MainWindow::onHomeClicked()
{
    m_view->navigate(homeButtonAddress());
}

void MainWindow::showStatusText(const QString &text)
{
    m_statusBar->setPanelText(1, text);
}

void MainWindow::showTitle(const QString &text)
{
    // A page may set a title of any length; a caption of megabytes stalls
    // the window system and shows nothing useful.
    constexpr int kLongestTitle = 1000;
    const QString title = text.size() > kLongestTitle ? text.left(kLongestTitle) + QChar(0x2026) : text;
    setWindowTitle(title + captionSuffix());
}

QString MainWindow::captionSuffix() const
{
    // A private window says so wherever its caption shows: the task bar, the
    // window switcher.
    return m_view->isPrivate() ? QStringLiteral(" - Kestrel (Private)") : QStringLiteral(" - Kestrel");
}

void MainWindow::showProgress(int progress, int progressMax)
{
    if (!m_statusBar->isVisibleTo(this))
        return;
    m_progress = progressStep(m_progress, progress, progressMax);
    m_progressBar->setValue(int(m_progress.value));
    if (m_progress.visible) {
        m_progressBar->raise();
        m_progressBar->show();
        placeProgressBar();
    } else {
        m_progressBar->hide();
    }
}

void MainWindow::handleNewWindowRequest(BrowserView **view, bool *cancel)
{
    // The page loads its own address into the new view: it starts empty.
    MainWindow *w = Preferences::load().popUps == Preferences::PopUps::Reject
                        ? nullptr
                        : m_host.createWindow(ViewStart{QString(), true, m_view->isSilent(), m_view->isPrivate()});
    if (!w) {
        *cancel = true;
        return;
    }
    *view = w->m_view;
    w->m_view->setOpenedByPage(true);
    w->show();
    *cancel = false;
}

void MainWindow::open(const QString &address)
{
    m_view->navigate(address);
}

void MainWindow::openInNewWindow(const QString &address)
{
    // A private window's new windows are private too.
    MainWindow *w = m_host.createWindow(ViewStart{address, true, m_view->isSilent(), m_view->isPrivate()});
    if (w)
        w->show();
}

void MainWindow::onNewWindowTriggered()
{
    openInNewWindow(m_view->address());
}

void MainWindow::onOpenTriggered()
{
    if (!m_openDialog) {
        m_openDialog = new QFileDialog(this);
        m_openDialog->setObjectName(QStringLiteral("Dialog"));
    }
    QFileDialog *dlg = m_openDialog;
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
    m_view->navigate(files.constFirst());
}

void MainWindow::onSaveTriggered()
{
    if (!m_view->address().isEmpty())
        m_view->run(BrowserView::Command::SaveAs);
}

void MainWindow::onViewSourceTriggered()
{
    m_view->navigate(QStringLiteral("view-source:") + m_view->address());
}

void MainWindow::onFindTriggered()
{
    m_view->widget()->setFocus(Qt::ShortcutFocusReason);
    m_view->showFind();
}
