#pragma once

#include "session/Session.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QThreadPool>
#include <QTimer>

class MainWindow;

// Keeps the run's windows in the profile folder as they change, so that a
// later start can bring them back: each main window's place and size and
// its view's pages, written within a second or two of a change and at the
// end of the run, always replacing the whole file in one step. Private
// windows are never kept.
//
// An empty session is never written: a run that ends (or crashes) before
// it had a window leaves the last one as it was. The windows closed during
// the run are kept for Reopen Closed Window; the last one a user closes
// stays the session, as the run ends with it.
class SessionKeeper : public QObject
{
    Q_OBJECT
public:
    // Keeps the session at `path`; an empty path keeps nothing.
    explicit SessionKeeper(const QString &path);
    ~SessionKeeper() override;

    // What the file held when the run began.
    const Session &previous() const { return m_previous; }
    // The previous run did not end: it crashed or was killed.
    bool previousCrashed() const { return m_previous.running && !m_previous.windows.isEmpty(); }

    void track(MainWindow *window);
    void windowClosing(MainWindow *window);
    // Windows of the previous run offered to the user and not yet brought
    // back or declined: they stay in the file meanwhile.
    void setOffered(const QList<Session::Window> &windows);

    bool hasClosedWindows() const { return !m_closed.isEmpty(); }
    Session::Window takeClosedWindow();

    // The run ends: the windows open now are written, marked as ended.
    void finish();
    // Forgets the saved windows and the closed ones.
    void clear();

    // The window the user used last among the kept ones, if any is open.
    MainWindow *lastActive() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Session::Window snapshot(MainWindow *window) const;
    Session current(bool running) const;
    void changed();
    void save();

    QString m_path;
    Session m_previous;
    QList<QPointer<MainWindow>> m_windows; // open, oldest first
    QList<Session::Window> m_lastClosed;   // the session when no window is open
    QList<Session::Window> m_offered;
    QList<Session::Window> m_closed;       // for Reopen Closed Window, newest last
    QTimer m_saveSoon;
    QThreadPool m_writer;
    bool m_finished = false;
};
