#pragma once

#include <QWidget>

class QWebEngineView;
class WebEngineBrowserView;

// The engine's developer tools for one page, in a window of their own that
// closes with the page's window. A page has one at most.
class DevToolsWindow : public QWidget
{
    Q_OBJECT
public:
    // Opens the page's tools, or brings them up, at the element under the
    // page's last context menu.
    static void inspect(WebEngineBrowserView *view);

private:
    explicit DevToolsWindow(WebEngineBrowserView *view);

    QWebEngineView *m_tools;
};
