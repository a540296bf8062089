#pragma once

#include "window/PageSite.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class QWidget;

// What a main window asks of the web view it hosts, and what the view tells
// it. The window only ever talks to this interface, so tests can stand a
// fake in for the real engine.
class BrowserView : public QObject
{
    Q_OBJECT
public:
    // Whether a load leaves an entry in the view's history.
    enum class History { Keep, Skip };

    // What the window's menus ask of the page.
    enum class Command {
        SaveAs,
        Print,
        PrintPreview,
        PageSetup,
        Properties,
        Cut,
        Copy,
        Paste,
        Undo,
        Redo,
        SelectAll,
        ClearSelection,
        ReloadBypassingCache,
        FindNext,
        FindPrevious,
    };

    // A step of the page's zoom, which is remembered for its site.
    enum class Zoom { In, Out, Reset };

    using QObject::QObject;
    ~BrowserView() override = default;

    // Starts loading the address as typed or stored; returns at once.
    virtual void navigate(const QString &address, History history = History::Keep) = 0;
    virtual void goBack() = 0;
    virtual void goForward() = 0;
    virtual void reload() = 0;
    virtual void stop() = 0;
    virtual void run(Command command) = 0;
    // Text size from 0 (smallest) to 4 (largest); 2 is the page's own. It
    // belongs to the window and scales whatever zoom the site has.
    virtual void setTextSize(int level) = 0;
    virtual void zoom(Zoom step) = 0;

    virtual QString address() const = 0;
    virtual QString title() const = 0;
    // The site of the page shown, as the engine committed it.
    virtual PageSite site() const = 0;

    // A silent view shows no boxes of its own: script errors and dialogs.
    virtual bool isSilent() const = 0;
    virtual void setSilent(bool silent) = 0;
    // Set on a view that a page opened as its new window.
    virtual bool isOpenedByPage() const = 0;
    virtual void setOpenedByPage(bool on) = 0;
    // A private view keeps nothing once the run's last private view has
    // gone: no history, no session, no last address, no cookies on disk.
    virtual bool isPrivate() const { return false; }

    // The view's pages, its back/forward list, as bytes that restoreState()
    // of a view of the same kind takes back; empty when it keeps none.
    virtual QByteArray saveState() const { return QByteArray(); }
    // Brings the pages back and shows the current one; false when the bytes
    // are not a state of this kind of view.
    virtual bool restoreState(const QByteArray &state)
    {
        Q_UNUSED(state);
        return false;
    }

    // The widget to place in the window; its geometry is the view's place.
    virtual QWidget *widget() = 0;
    // Opens the view's own find bar (the view's answer to Ctrl+F).
    virtual void showFind() = 0;
    // Lets the page have its say before its window closes. False when there
    // is nothing to ask; otherwise closeRequested follows if the page may go.
    virtual bool askPageToClose() { return false; }

signals:
    void statusTextChanged(const QString &text);
    void progressChanged(int progress, int progressMax);
    void titleChanged(const QString &title);
    // The page shown now comes from another site (or the same site is now
    // trusted differently): a navigation committed.
    void siteChanged(const PageSite &site);
    // A page asks for a new window. Set *view to the view the page should
    // open in, or *cancel to true to refuse. Delivered synchronously.
    void newWindowRequested(BrowserView **view, bool *cancel);
    // A load ended at this address: `ok` when the page came, false when it
    // failed or was stopped.
    void loadFinished(const QString &address, bool ok);
    // The back/forward list or its current entry changed.
    void historyChanged();
    // A load started (true) or ended, however it ended (false).
    void loadingChanged(bool loading);
    // The user asked, from the page's menu, to open a link in a window of
    // its own or to keep it as a favorite.
    void openInNewWindowRequested(const QString &address);
    void addFavoriteRequested(const QString &name, const QString &address);
    // The page lets its window close: the answer to askPageToClose, or a
    // script closing a window that a script opened.
    void closeRequested();
};
