#include "MainWindowSteps.h"

#include "browser/WindowLogic.h"
#include "browser/frmMain.h"
#include "dialogs/frmAbout.h"
#include "dialogs/frmPreferences.h"
#include "favorites/FavoritesPanel.h"
#include "settings/Settings.h"

#include <QMessageBox>

namespace {
const QString kSettings = QStringLiteral("Settings");

QString readSetting(const QString &key)
{
    return ReadIniValue(kSettings, key);
}
} // namespace

void Form_Load(frmMain *w, const QString &firstPage)
{
    const StartNavigation start = chooseStartNavigation(readSetting(QStringLiteral("Startup")), readSetting);
    if (!firstPage.isEmpty())
        w->Browser->Navigate(firstPage);
    else if (start.kind == StartNavigation::NavigateBlankNoHistory)
        w->Browser->Navigate2(start.url, BrowserView::navNoHistory);
    else if (start.kind == StartNavigation::Navigate)
        w->Browser->Navigate(start.url);

    w->placeProgressBar();
    w->Browser->setSilent(readSetting(QStringLiteral("SupressErrors")) == QLatin1String("True"));
    AttachFavoritesPanel(w);
    RefreshFavoritesList();
}

frmMain *CreateMainWindow(const QString &firstPage)
{
    auto *w = new frmMain;
    // The Continue start mode needs the last address a window showed.
    QObject::connect(w->Browser, &BrowserView::DocumentComplete, w, [](const QString &url) {
        if (!url.isEmpty() && readSetting(QStringLiteral("LastURL")) != url)
            WriteIniValue(kSettings, QStringLiteral("LastURL"), url);
    });
    Form_Load(w, firstPage);
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
