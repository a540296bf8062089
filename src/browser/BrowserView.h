#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

class QWidget;

// What a main window asks of the web view it hosts, and what the view tells
// it. The window only ever talks to this interface, so tests can stand a
// fake in for the real engine.
class BrowserView : public QObject
{
    Q_OBJECT
public:
    enum NavigateFlags { navNoHistory = 2 };

    // Command ids for ExecWB.
    enum Command {
        SaveAs = 4,
        Print = 6,
        PrintPreview = 7,
        PageSetup = 8,
        Properties = 10,
        Cut = 11,
        Copy = 12,
        Paste = 13,
        Undo = 15,
        Redo = 16,
        SelectAll = 17,
        ClearSelection = 18,
        Zoom = 19,
    };
    enum CommandOption { DoDefault = 0, PromptUser = 1 };

    using QObject::QObject;
    ~BrowserView() override = default;

    // Starts loading the address as typed or stored; returns at once.
    virtual void Navigate(const QString &url) = 0;
    // As Navigate; with navNoHistory the page gets no entry in the history.
    virtual void Navigate2(const QString &url, int flags = 0) = 0;
    virtual void GoBack() = 0;
    virtual void GoForward() = 0;
    virtual void Refresh() = 0;
    virtual void Stop() = 0;
    virtual void ExecWB(int command, int option, const QVariant &input = {}) = 0;

    virtual QString LocationURL() const = 0;
    virtual QString LocationName() const = 0;

    virtual bool Silent() const = 0;
    virtual void setSilent(bool silent) = 0;
    virtual bool RegisterAsBrowser() const = 0;
    virtual void setRegisterAsBrowser(bool on) = 0;

    // The widget to place in the window; its geometry is the view's place.
    virtual QWidget *widget() = 0;
    // Opens the view's own find bar (the view's answer to Ctrl+F).
    virtual void showFind() = 0;
    // Lets the page have its say before its window closes. False when there
    // is nothing to ask; otherwise WindowClosing follows if the page may go.
    virtual bool askPageToClose() { return false; }

signals:
    void StatusTextChange(const QString &text);
    void ProgressChange(int progress, int progressMax);
    void TitleChange(const QString &text);
    // A page asks for a new window. Set *ppDisp to the view the page should
    // open in, or *cancel to true to refuse. Delivered synchronously.
    void NewWindow2(BrowserView **ppDisp, bool *cancel);
    // A page finished loading at this address.
    void DocumentComplete(const QString &url);
    // The page lets its window close: the answer to askPageToClose, or a
    // script closing a window that a script opened.
    void WindowClosing();
};
