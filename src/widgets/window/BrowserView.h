#pragma once

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

    // A silent view shows no boxes of its own: script errors and dialogs.
    virtual bool isSilent() const = 0;
    virtual void setSilent(bool silent) = 0;
    // Set on a view that a page opened as its new window.
    virtual bool isOpenedByPage() const = 0;
    virtual void setOpenedByPage(bool on) = 0;

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
    // A page asks for a new window. Set *view to the view the page should
    // open in, or *cancel to true to refuse. Delivered synchronously.
    void newWindowRequested(BrowserView **view, bool *cancel);
    // A load ended at this address: `ok` when the page came, false when it
    // failed or was stopped.
    void loadFinished(const QString &address, bool ok);
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
