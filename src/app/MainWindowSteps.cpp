#include "MainWindowSteps.h"

#include "browser/WindowLogic.h"
#include "browser/frmMain.h"
#include "dialogs/frmAbout.h"
#include "dialogs/frmPreferences.h"
#include "favorites/FavoritesPanel.h"
#include "settings/Settings.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPointer>
#include <QThreadPool>

namespace {
const QString kSettings = QStringLiteral("Settings");

QString readSetting(const QString &key)
{
    return ReadIniValue(kSettings, key);
}

// Pages finish loading often and a write waits for the disk, so the last
// address is stored beside the GUI thread, one write after another, and
// only when it differs from what the file holds.
void rememberLastUrl(const QString &url)
{
    static QPointer<QThreadPool> writer;
    if (!writer) {
        writer = new QThreadPool(QCoreApplication::instance());
        writer->setMaxThreadCount(1);
    }
    const QString path = iniFilePath();
    writer->start([path, url] {
        UpdateIniFileAt(path, [&url](IniDocument &doc) {
            const QString key = QStringLiteral("LastURL");
            if (doc.value(kSettings, key) == url)
                return false;
            doc.setValue(kSettings, key, url);
            return true;
        });
    });
}
} // namespace

namespace {

StartNavigation firstNavigation(const QString &firstPage)
{
    if (!firstPage.isEmpty())
        return {StartNavigation::Navigate, firstPage};
    return chooseStartNavigation(readSetting(QStringLiteral("Startup")), readSetting);
}

void startNavigation(frmMain *w, const StartNavigation &start)
{
    if (start.kind == StartNavigation::NavigateBlankNoHistory)
        w->Browser->navigate(start.url, BrowserView::History::Skip);
    else if (start.kind == StartNavigation::Navigate)
        w->Browser->navigate(start.url);
}

void finishLoad(frmMain *w)
{
    w->placeProgressBar();
    w->Browser->setSilent(readSetting(QStringLiteral("SupressErrors")) == QLatin1String("True"));
    AttachFavoritesPanel(w);
    RefreshFavoritesList();
}

} // namespace

void Form_Load(frmMain *w, const QString &firstPage)
{
    startNavigation(w, firstNavigation(firstPage));
    finishLoad(w);
}

frmMain *CreateMainWindow(const QString &firstPage)
{
    // The first page starts loading as soon as the view exists: the engine
    // fetches it while the menus, the layout and the favorites are built.
    const StartNavigation start = firstNavigation(firstPage);
    frmMain::Hooks &h = frmMain::hooks();
    const std::function<void(frmMain *)> previous = h.viewCreated;
    h.viewCreated = [start](frmMain *w) { startNavigation(w, start); };
    auto *w = new frmMain;
    h.viewCreated = previous;
    // The Continue start mode needs the last address a window showed.
    QObject::connect(w->Browser, &BrowserView::loadFinished, w, [](const QString &url) {
        if (!url.isEmpty())
            rememberLastUrl(url);
    });
    finishLoad(w);
    return w;
}

bool Form_QueryUnload(frmMain *window)
{
    if (readSetting(QStringLiteral("ConfirmExit")) != QLatin1String("True"))
        return true;
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Exit Confirmation"),
                    QStringLiteral("Are you sure you want to exit?"), QMessageBox::Yes | QMessageBox::No, window);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

void InstallMainWindowHooks()
{
    frmMain::Hooks &h = frmMain::hooks();
    h.createWindow = [] { return CreateMainWindow(); };
    h.closeStep = Form_QueryUnload;
    h.showPreferences = frmPreferences::showShared;
    h.showAbout = frmAbout::showShared;
}
