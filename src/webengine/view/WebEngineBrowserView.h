#pragma once

#include "window/BrowserView.h"

#include <QUrl>

class EngineContext;
class FindBar;
class PagePrinter;
class PageWatchdog;
class PageZoom;
class QWebEnginePage;
class QWebEngineView;

// The browser view on Qt WebEngine: adapts a QWebEngineView and its page to
// what the window asks of a view, and hands the page's dialogs to their own
// classes.
class WebEngineBrowserView : public BrowserView
{
    Q_OBJECT
public:
    // A view whose pages live in `context`, which outlives it.
    explicit WebEngineBrowserView(EngineContext &context, QWidget *parent = nullptr);
    ~WebEngineBrowserView() override;

    void navigate(const QString &address, History history = History::Keep) override;
    void goBack() override;
    void goForward() override;
    void reload() override;
    void stop() override;
    void run(Command command) override;
    void setTextSize(int level) override;
    void zoom(Zoom step) override;
    QString address() const override;
    QString title() const override;
    bool isSilent() const override { return m_silent; }
    void setSilent(bool silent) override { m_silent = silent; }
    bool isOpenedByPage() const override { return m_openedByPage; }
    void setOpenedByPage(bool on) override { m_openedByPage = on; }
    QWidget *widget() override;
    void showFind() override;
    bool askPageToClose() override;

    EngineContext &context() const { return m_context; }
    QWebEnginePage *page() const;
    QWebEngineView *view() const { return m_view; }

    // Text as typed to the address to load: a missing scheme is supplied as
    // browsers do; empty text gives an empty address.
    static QUrl addressToUrl(const QString &text);

private:
    enum class Cache { Use, Bypass };
    void reload(Cache cache);
    void connectPage();
    void onLoadFinished(bool ok);
    void onRendererGone();
    void setShowsPdf(bool on);
    void savePdfTo(const QString &path);

    EngineContext &m_context;
    QWidget *m_container = nullptr;
    QWebEngineView *m_view = nullptr;
    FindBar *m_find = nullptr;
    PageWatchdog *m_watchdog = nullptr;
    PagePrinter *m_printer = nullptr;
    PageZoom *m_zoom = nullptr;
    QUrl m_crashedUrl;
    bool m_silent = false;
    bool m_showsPdf = false;
    bool m_openedByPage = false;
    bool m_dropBlankFromHistory = false;
};
