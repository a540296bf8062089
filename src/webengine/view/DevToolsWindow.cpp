#include "DevToolsWindow.h"

#include "WebEngineBrowserView.h"
#include "profile/EngineContext.h"

#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineView>

DevToolsWindow::DevToolsWindow(WebEngineBrowserView *view)
    : QWidget(view->widget()->window(), Qt::Window)
{
    setObjectName(QStringLiteral("DevTools"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Developer Tools - Kestrel"));
    setAccessibleName(QStringLiteral("Developer Tools"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    m_tools = new QWebEngineView(this);
    m_tools->setPage(new QWebEnginePage(view->profileState().profile, m_tools));
    column->addWidget(m_tools);
    // The tools' own close button.
    connect(m_tools->page(), &QWebEnginePage::windowCloseRequested, this, &QWidget::close);
    resize(900, 600);
}

void DevToolsWindow::inspect(WebEngineBrowserView *view)
{
    QWebEnginePage *page = view->page();
    QWebEngineView *tools = page->devToolsPage() ? QWebEngineView::forPage(page->devToolsPage()) : nullptr;
    auto *window = tools ? qobject_cast<DevToolsWindow *>(tools->window()) : nullptr;
    if (!window) {
        window = new DevToolsWindow(view);
        page->setDevToolsPage(window->m_tools->page());
    }
    page->triggerAction(QWebEnginePage::InspectElement);
    window->show();
    window->raise();
    window->activateWindow();
}
