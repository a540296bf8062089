#include "PageContextMenu.h"

#include "DevToolsWindow.h"
#include "WebEngineBrowserView.h"

#include <QMenu>
#include <QWebEngineContextMenuRequest>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <functional>

namespace {

// Puts `replacement` where the first of `engine's` items is and takes those
// items away; nothing when the menu has none of them.
void replaceItems(QMenu *menu, const QList<QAction *> &engines, const QList<QAction *> &replacement)
{
    QAction *first = nullptr;
    for (QAction *item : menu->actions()) {
        if (engines.contains(item)) {
            first = item;
            break;
        }
    }
    if (!first)
        return;
    menu->insertActions(first, replacement);
    for (QAction *item : engines)
        menu->removeAction(item);
}

QAction *item(QMenu *menu, const char *caption, std::function<void()> run)
{
    auto *action = new QAction(QString::fromLatin1(caption), menu);
    QObject::connect(action, &QAction::triggered, menu, std::move(run));
    return action;
}

} // namespace

QMenu *makePageContextMenu(WebEngineBrowserView *view)
{
    QWebEngineView *engineView = view->view();
    QWebEnginePage *page = view->page();
    QMenu *menu = engineView->createStandardContextMenu();
    const QWebEngineContextMenuRequest *request = engineView->lastContextMenuRequest();
    auto engine = [page](QWebEnginePage::WebAction action) { return page->action(action); };

    if (request && request->linkUrl().isValid()) {
        const QString address = request->linkUrl().toString();
        const QString text = request->linkText();
        replaceItems(menu,
                     {engine(QWebEnginePage::OpenLinkInNewTab), engine(QWebEnginePage::OpenLinkInNewBackgroundTab),
                      engine(QWebEnginePage::OpenLinkInNewWindow), engine(QWebEnginePage::CopyLinkToClipboard),
                      engine(QWebEnginePage::DownloadLinkToDisk)},
                     {item(menu, "Open Link in New Window",
                           [view, address] { emit view->openInNewWindowRequested(address); }),
                      item(menu, "Add Link to Favorites",
                           [view, text, address] { emit view->addFavoriteRequested(text, address); }),
                      item(menu, "Copy Link Address",
                           [page] { page->triggerAction(QWebEnginePage::CopyLinkToClipboard); }),
                      item(menu, "Save Link As", [page] { page->triggerAction(QWebEnginePage::DownloadLinkToDisk); })});
    }
    // The engine would show the source in a new tab; the window's own
    // Source item shows it in place.
    replaceItems(menu, {engine(QWebEnginePage::ViewSource)},
                 {item(menu, "View Page Source", [view] {
                     view->navigate(QStringLiteral("view-source:") + view->address());
                 })});
    menu->removeAction(engine(QWebEnginePage::InspectElement));
    if (!menu->isEmpty())
        menu->addSeparator();
    menu->addAction(item(menu, "Inspect", [view] { DevToolsWindow::inspect(view); }));
    return menu;
}
