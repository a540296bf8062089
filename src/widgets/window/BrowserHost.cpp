#include "BrowserHost.h"

#include "DownloadList.h"
#include "MainWindow.h"
#include "common/MessageBoxes.h"
#include "dialogs/AboutDialog.h"
#include "dialogs/ClearDataDialog.h"
#include "dialogs/PreferencesDialog.h"
#include "dialogs/StartupDialog.h"
#include "favorites/FavoriteAddDialog.h"
#include "favorites/FavoriteEditDialog.h"
#include "history/HistoryWindow.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>

namespace {

// The longest address stored as the last page.
constexpr int kLongestLastUrl = 2048;

template <typename Dialog>
void bringUp(Dialog *dialog)
{
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

} // namespace

BrowserHost::BrowserHost(const ProfileFolder &profile)
    : m_profile(profile)
    , m_session(profile.path.isEmpty() ? QString() : profile.sessionFile())
{
    m_lastUrlWriter.setMaxThreadCount(1);
    m_browsingData.add({QStringLiteral("Session"), QStringLiteral("The saved &session: open and closed windows"),
                        false,
                        [this] {
                            m_session.clear();
                            const QString path = iniFilePath();
                            m_lastUrlWriter.start([path] { Preferences::storeLastUrlAt(path, QString()); });
                        },
                        {}, {}});
    // The session and what is cleared at close are settled before the
    // windows and the profile go.
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, [this] { endOfRun(); });
}

// Waits for the last address to reach the file.
BrowserHost::~BrowserHost() = default;

void BrowserHost::start(const QStringList &addresses)
{
    // Addresses handed over by the desktop open at once, one window each;
    // the start-up dialog is for a plain start.
    // Read once for the whole start: the windows all begin from it.
    const Preferences preferences = Preferences::load();
    MainWindow *first = nullptr;
    for (const QString &address : addresses) {
        MainWindow *w = openWindow(preferences, address);
        w->show();
        if (!first)
            first = w;
    }
    if (first) {
        if (m_session.previousCrashed())
            offerRestore(first);
        return;
    }
    if (preferences.skipStartupDialog()) {
        openFirstWindows(preferences);
        return;
    }
    auto *dialog = new StartupDialog(preferences, !m_session.previous().windows.isEmpty());
    // The dialog has just written the user's choice.
    connect(dialog, &StartupDialog::started, this, [this] { openFirstWindows(Preferences::load()); });
    dialog->show();
}

void BrowserHost::openFirstWindows(const Preferences &preferences)
{
    // Continue brings back every window of the last run; the last address
    // is what a run before windows were kept leaves to continue with.
    if (preferences.startPage == Preferences::StartPage::Continue && !m_session.previous().windows.isEmpty()) {
        for (const Session::Window &kept : m_session.previous().windows)
            restoreWindow(kept, preferences.suppressErrors)->show();
        return;
    }
    MainWindow *w = openWindow(preferences);
    w->show();
    if (m_session.previousCrashed())
        offerRestore(w);
}

void BrowserHost::offerRestore(MainWindow *window)
{
    const QList<Session::Window> windows = m_session.previous().windows;
    // Until the user answers, the offered windows stay in the file: another
    // crash meanwhile does not lose them.
    m_session.setOffered(windows);
    QMessageBox *box = newMessageBox(
        window, QMessageBox::Question, QStringLiteral("Restore Windows"),
        windows.size() == 1 ? QStringLiteral("Kestrel did not close properly. Restore the window that was open?")
                            : QStringLiteral("Kestrel did not close properly. Restore the %1 windows that were open?")
                                  .arg(windows.size()),
        QStringLiteral("frmRestore"), QMessageBox::NoButton);
    QPushButton *restore = box->addButton(QStringLiteral("&Restore"), QMessageBox::AcceptRole);
    box->addButton(QStringLiteral("Do&n't Restore"), QMessageBox::RejectRole);
    box->setDefaultButton(restore);
    connect(box, &QMessageBox::buttonClicked, this, [this, restore, windows](QAbstractButton *clicked) {
        m_session.setOffered({});
        if (clicked != restore)
            return;
        const bool silent = Preferences::load().suppressErrors;
        for (const Session::Window &kept : windows)
            restoreWindow(kept, silent)->show();
    });
    box->show();
}

MainWindow *BrowserHost::restoreWindow(const Session::Window &kept, bool silent)
{
    MainWindow *w = createWindow(ViewStart{QString(), true, silent, false, kept.view});
    w->restoreGeometry(kept.geometry);
    return w;
}

void BrowserHost::openHandedOver(const QStringList &addresses)
{
    QList<MainWindow *> opened;
    for (const QString &address : addresses)
        opened << openWindow(address);
    if (addresses.isEmpty()) {
        MainWindow *last = m_session.lastActive();
        opened << (last ? createWindow(ViewStart{last->view()->address(), true, last->view()->isSilent()})
                        : openWindow());
    }
    // The user asked for these windows just now, in another program: they
    // come to the front.
    for (MainWindow *w : opened) {
        w->show();
        w->raise();
        w->activateWindow();
    }
}

MainWindow *BrowserHost::openWindow(const QString &address)
{
    return openWindow(Preferences::load(), address);
}

MainWindow *BrowserHost::openWindow(const Preferences &preferences, const QString &address)
{
    const Preferences::FirstPage first = address.isEmpty() ? preferences.firstPage()
                                                           : Preferences::FirstPage{address, true};
    return createWindow(ViewStart{first.address, first.keepInHistory, preferences.suppressErrors});
}

MainWindow *BrowserHost::createWindow(const ViewStart &start)
{
    auto *window = new MainWindow(*this, start);
    if (start.privately)
        return window;
    // The Continue start needs the last page a window showed: one that
    // loaded, so that a start does not begin on an error, and of a length
    // an address has, not a link a page made a megabyte long.
    connect(window->view(), &BrowserView::loadFinished, this, [this](const QString &url, bool ok) {
        if (ok && !url.isEmpty() && url.size() <= kLongestLastUrl)
            rememberLastUrl(url);
    });
    m_session.track(window);
    return window;
}

BrowserView *BrowserHost::createView(QWidget *parent, const ViewStart &start)
{
    BrowserView *view = makeView(parent, start.privately);
    view->setSilent(start.silent);
    if (!start.state.isEmpty() && view->restoreState(start.state))
        return view;
    // The first page starts loading as soon as the view exists: the engine
    // fetches it while the menus, the layout and the favorites are built.
    if (!start.address.isEmpty())
        view->navigate(start.address, start.keepInHistory ? BrowserView::History::Keep : BrowserView::History::Skip);
    return view;
}

bool BrowserHost::confirmClose(MainWindow *window)
{
    if (Preferences::load().confirmExit) {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Exit Confirmation"),
                        QStringLiteral("Are you sure you want to exit?"), QMessageBox::Yes | QMessageBox::No, window);
        box.setDefaultButton(QMessageBox::Yes);
        if (box.exec() != QMessageBox::Yes)
            return false;
    }
    return mayEndDownloads(window);
}

bool BrowserHost::downloadsNeedWindow(MainWindow *window)
{
    DownloadList *list = downloads();
    if (!list || list->running() == 0)
        return false;
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::none_of(windows.begin(), windows.end(), [window](QWidget *w) {
        return w != window && w->isVisible() && qobject_cast<MainWindow *>(w);
    });
}

// The program ends with its last window, and a download with it: the user
// says which goes, rather than a program left running with no window to
// show or stop what it does.
bool BrowserHost::mayEndDownloads(MainWindow *window)
{
    if (!downloadsNeedWindow(window))
        return true;
    const int running = downloads()->running();
    const QString text = running == 1
                             ? QStringLiteral("A download has not finished. Closing the last window cancels it.")
                             : QStringLiteral("%1 downloads have not finished. Closing the last window cancels them.")
                                   .arg(running);
    QMessageBox box(QMessageBox::Question, QStringLiteral("Downloads Running"), text, QMessageBox::NoButton, window);
    box.setObjectName(QStringLiteral("DownloadsRunning"));
    QPushButton *cancel = box.addButton(QStringLiteral("&Cancel Downloads"), QMessageBox::DestructiveRole);
    QPushButton *keep = box.addButton(QStringLiteral("&Keep Window"), QMessageBox::RejectRole);
    box.setDefaultButton(keep);
    box.setEscapeButton(keep);
    box.exec();
    if (box.clickedButton() != cancel)
        return false;
    downloads()->cancelAll();
    return true;
}

void BrowserHost::showDownloads()
{
    if (DownloadList *list = downloads())
        list->showWindow();
}

void BrowserHost::showPreferences()
{
    if (!m_preferences)
        m_preferences = new PreferencesDialog;
    bringUp(m_preferences.data());
}

void BrowserHost::showAbout()
{
    if (!m_about)
        m_about = new AboutDialog;
    bringUp(m_about.data());
}

void BrowserHost::showHistory(MainWindow *window)
{
    m_historyTarget = window;
    if (!m_history) {
        m_history = new HistoryWindow(history());
        connect(m_history, &HistoryWindow::openRequested, this, [this](const QString &address) {
            // The window History was opened from, or a new one when it has gone.
            MainWindow *target = m_historyTarget;
            if (!target) {
                target = openWindow(address);
                m_historyTarget = target;
            } else {
                target->open(address);
            }
            bringUp(target);
        });
    }
    m_history->bringUp();
}

FavoriteAddDialog *BrowserHost::addDialog()
{
    if (!m_add)
        m_add = new FavoriteAddDialog(&m_favorites);
    return m_add;
}

void BrowserHost::addFavorite(MainWindow *window)
{
    addDialog()->serve(window, window->view());
    bringUp(m_add.data());
}

void BrowserHost::addLinkToFavorites(MainWindow *window, const QString &name, const QString &address)
{
    addDialog()->serveLink(window, name, address);
    bringUp(m_add.data());
}

void BrowserHost::editFavorite(MainWindow *window, int index)
{
    if (!m_edit)
        m_edit = new FavoriteEditDialog(&m_favorites, index, window);
    bringUp(m_edit.data());
}

void BrowserHost::openPrivateWindow()
{
    MainWindow *w = createWindow(ViewStart{homeButtonAddress(), true, Preferences::load().suppressErrors, true});
    bringUp(w);
}

void BrowserHost::reopenClosedWindow()
{
    if (m_session.hasClosedWindows())
        bringUp(restoreWindow(m_session.takeClosedWindow(), Preferences::load().suppressErrors));
}

void BrowserHost::showClearData()
{
    if (!m_clearData) {
        m_clearData = new ClearDataDialog(m_browsingData.entries(), ProfileCleanup::clearOnClose(m_profile));
        connect(m_clearData, &ClearDataDialog::clearRequested, this, &BrowserHost::clearChosen);
    }
    bringUp(m_clearData.data());
}

void BrowserHost::clearChosen(const QStringList &names, bool alsoOnClose)
{
    for (const ClearableData &entry : m_browsingData.entries()) {
        if (names.contains(entry.name) && entry.clearNow)
            entry.clearNow();
    }
    QString error;
    if (!ProfileCleanup::storeClearOnClose(m_profile, alsoOnClose ? names : QStringList(), &error))
        showSaveError(nullptr, error);
}

void BrowserHost::windowClosing(MainWindow *window)
{
    m_session.windowClosing(window);
}

void BrowserHost::endRun()
{
    // Not quit(): that closes each window first, and a window asks before
    // it closes (the exit question, the page's own).
    QCoreApplication::exit(0);
}

void BrowserHost::endOfRun()
{
    if (m_ended)
        return;
    m_ended = true;
    m_session.finish();
    const QStringList chosen = ProfileCleanup::clearOnClose(m_profile);
    for (const ClearableData &entry : m_browsingData.entries()) {
        if (!chosen.contains(entry.name))
            continue;
        if (entry.clearAtClose)
            entry.clearAtClose();
        else if (entry.clearNow)
            entry.clearNow();
    }
    // Windows still open go now, without asking: the run is over. Those
    // closed before go with them.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QList<QPointer<MainWindow>> open;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *m = qobject_cast<MainWindow *>(w))
            open << m;
    }
    // A window takes the boxes it owns with it, some of which are top-level
    // windows of their own: each is looked at before it is deleted.
    for (const QPointer<MainWindow> &w : open)
        delete w.data();
}

void BrowserHost::rememberLastUrl(const QString &url)
{
    const QString path = iniFilePath();
    m_lastUrlWriter.start([path, url] { Preferences::storeLastUrlAt(path, url); });
}
