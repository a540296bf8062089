#include "BrowserHost.h"

#include "MainWindow.h"
#include "dialogs/AboutDialog.h"
#include "dialogs/PreferencesDialog.h"
#include "dialogs/StartupDialog.h"
#include "favorites/FavoriteAddDialog.h"
#include "favorites/FavoriteEditDialog.h"
#include "history/HistoryWindow.h"
#include "settings/Settings.h"

#include <QMessageBox>

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

BrowserHost::BrowserHost()
{
    m_lastUrlWriter.setMaxThreadCount(1);
}

// Waits for the last address to reach the file.
BrowserHost::~BrowserHost() = default;

void BrowserHost::start(const QStringList &addresses)
{
    // Addresses handed over by the desktop open at once, one window each;
    // the start-up dialog is for a plain start.
    for (const QString &address : addresses)
        openWindow(address)->show();
    if (!addresses.isEmpty())
        return;
    const Preferences preferences = Preferences::load();
    if (preferences.skipStartupDialog()) {
        openWindow()->show();
        return;
    }
    auto *dialog = new StartupDialog(preferences);
    connect(dialog, &StartupDialog::started, this, [this] { openWindow()->show(); });
    dialog->show();
}

MainWindow *BrowserHost::openWindow(const QString &address)
{
    const Preferences preferences = Preferences::load();
    const Preferences::FirstPage first = address.isEmpty() ? preferences.firstPage()
                                                           : Preferences::FirstPage{address, true};
    return createWindow(ViewStart{first.address, first.keepInHistory, preferences.suppressErrors});
}

MainWindow *BrowserHost::createWindow(const ViewStart &start)
{
    auto *window = new MainWindow(*this, start);
    // The Continue start needs the last page a window showed: one that
    // loaded, so that a start does not begin on an error, and of a length
    // an address has, not a link a page made a megabyte long.
    connect(window->view(), &BrowserView::loadFinished, this, [this](const QString &url, bool ok) {
        if (ok && !url.isEmpty() && url.size() <= kLongestLastUrl)
            rememberLastUrl(url);
    });
    return window;
}

BrowserView *BrowserHost::createView(QWidget *parent, const ViewStart &start)
{
    BrowserView *view = makeView(parent);
    view->setSilent(start.silent);
    // The first page starts loading as soon as the view exists: the engine
    // fetches it while the menus, the layout and the favorites are built.
    if (!start.address.isEmpty())
        view->navigate(start.address, start.keepInHistory ? BrowserView::History::Keep : BrowserView::History::Skip);
    return view;
}

bool BrowserHost::confirmClose(MainWindow *window)
{
    if (!Preferences::load().confirmExit)
        return true;
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Exit Confirmation"),
                    QStringLiteral("Are you sure you want to exit?"), QMessageBox::Yes | QMessageBox::No, window);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
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

void BrowserHost::rememberLastUrl(const QString &url)
{
    const QString path = iniFilePath();
    m_lastUrlWriter.start([path, url] { Preferences::storeLastUrlAt(path, url); });
}
