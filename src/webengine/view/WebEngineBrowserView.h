#pragma once

#include "window/BrowserView.h"

#include <QUrl>

class EngineContext;
class FindBar;
struct ProfileState;
class PagePrinter;
class PageServices;
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
    // A view whose pages live in `context`, which outlives it, in its
    // private profile when `privately` is set.
    WebEngineBrowserView(EngineContext &context, bool privately, QWidget *parent = nullptr);
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
    PageSite site() const override { return m_site; }
    bool isSilent() const override { return m_silent; }
    void setSilent(bool silent) override { m_silent = silent; }
    bool isOpenedByPage() const override { return m_openedByPage; }
    void setOpenedByPage(bool on) override { m_openedByPage = on; }
    bool isPrivate() const override { return m_private; }
    QByteArray saveState() const override;
    bool restoreState(const QByteArray &state) override;
    QWidget *widget() override;
    void showFind() override;
    bool askPageToClose() override;

    EngineContext &context() const { return m_context; }
    // The profile the view's pages live in, and what the run keeps for it.
    ProfileState &profileState() const { return *m_profileState; }
    QWebEnginePage *page() const;
    QWebEngineView *view() const { return m_view; }
    PageServices *services() const { return m_services; }

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
    void userNavigates();
    // Names the site of the page committed now; called on whatever the page
    // reports, as the engine tells of no commit by itself.
    void updateSite();
    void onBlocked(const QString &host);
    QString blockedText() const;
    void showStopped();

    EngineContext &m_context;
    ProfileState *m_profileState;
    QWidget *m_container = nullptr;
    QWebEngineView *m_view = nullptr;
    FindBar *m_find = nullptr;
    PageWatchdog *m_watchdog = nullptr;
    PagePrinter *m_printer = nullptr;
    PageServices *m_services = nullptr;
    PageSite m_site;
    // Hosts whose parts of this page were refused for their certificates.
    QStringList m_blocked;
    PageZoom *m_zoom = nullptr;
    QUrl m_crashedUrl;
    // The pages of a view whose renderer had crashed, as they were before:
    // kept with the view's state, and brought back on Reload.
    QByteArray m_crashedHistory;
    bool m_restoreOnReload = false;
    bool m_private = false;
    bool m_silent = false;
    bool m_showsPdf = false;
    bool m_openedByPage = false;
    bool m_dropBlankFromHistory = false;
};
