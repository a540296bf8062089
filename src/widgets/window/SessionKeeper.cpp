#include "SessionKeeper.h"

#include "MainWindow.h"

#include <QApplication>
#include <QEvent>
#include <QFile>

namespace {
// A change reaches the file this long after it happened, at most; changes
// meanwhile go with it.
constexpr int kSaveDelayMs = 1000;
// Closed windows kept for Reopen Closed Window.
constexpr int kMostClosed = 20;
} // namespace

SessionKeeper::SessionKeeper(const QString &path)
    : m_path(path)
{
    if (!m_path.isEmpty())
        m_previous = Session::load(m_path).value_or(Session());
    m_writer.setMaxThreadCount(1);
    m_saveSoon.setSingleShot(true);
    m_saveSoon.setInterval(kSaveDelayMs);
    connect(&m_saveSoon, &QTimer::timeout, this, &SessionKeeper::save);
}

// Waits for the last write to reach the file.
SessionKeeper::~SessionKeeper() = default;

void SessionKeeper::track(MainWindow *window)
{
    if (window->view()->isPrivate())
        return;
    m_windows << window;
    m_lastClosed.clear();
    window->installEventFilter(this);
    connect(window->view(), &BrowserView::historyChanged, this, &SessionKeeper::changed);
    changed();
}

void SessionKeeper::windowClosing(MainWindow *window)
{
    if (!m_windows.contains(window))
        return;
    const Session::Window kept = snapshot(window);
    m_windows.removeAll(window);
    m_windows.removeAll(nullptr);
    window->removeEventFilter(this);
    disconnect(window->view(), nullptr, this, nullptr);
    m_closed << kept;
    if (m_closed.size() > kMostClosed)
        m_closed.removeFirst();
    if (m_windows.isEmpty())
        m_lastClosed = {kept};
    changed();
}

void SessionKeeper::setOffered(const QList<Session::Window> &windows)
{
    m_offered = windows;
    changed();
}

Session::Window SessionKeeper::takeClosedWindow()
{
    return m_closed.isEmpty() ? Session::Window() : m_closed.takeLast();
}

MainWindow *SessionKeeper::lastActive() const
{
    if (auto *active = qobject_cast<MainWindow *>(QApplication::activeWindow());
        active && m_windows.contains(active))
        return active;
    for (auto it = m_windows.crbegin(); it != m_windows.crend(); ++it) {
        if (*it && (*it)->isVisible())
            return *it;
    }
    return nullptr;
}

bool SessionKeeper::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowStateChange: changed(); break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

Session::Window SessionKeeper::snapshot(MainWindow *window) const
{
    return Session::Window{window->saveGeometry(), window->view()->saveState()};
}

Session SessionKeeper::current(bool running) const
{
    Session s;
    s.running = running;
    s.windows = m_offered;
    bool open = false;
    for (const QPointer<MainWindow> &w : m_windows) {
        if (w) {
            s.windows << snapshot(w);
            open = true;
        }
    }
    if (!open)
        s.windows << m_lastClosed;
    return s;
}

void SessionKeeper::changed()
{
    if (!m_path.isEmpty() && !m_finished && !m_saveSoon.isActive())
        m_saveSoon.start();
}

void SessionKeeper::save()
{
    const Session s = current(true);
    if (s.windows.isEmpty())
        return;
    const QString path = m_path;
    m_writer.start([s, path] { s.save(path); });
}

void SessionKeeper::finish()
{
    if (m_finished || m_path.isEmpty())
        return;
    m_finished = true;
    m_saveSoon.stop();
    m_writer.waitForDone();
    const Session s = current(false);
    if (!s.windows.isEmpty())
        s.save(m_path);
}

void SessionKeeper::clear()
{
    m_saveSoon.stop();
    m_writer.waitForDone();
    m_offered.clear();
    m_closed.clear();
    m_lastClosed.clear();
    m_previous = Session();
    if (!m_path.isEmpty())
        QFile::remove(m_path);
}
