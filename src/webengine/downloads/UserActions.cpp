#include "UserActions.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {

// How long a click or key answers for a download it may have started: the
// server must answer within it, or the user is asked.
constexpr int kInputMs = 5000;
// How long an address the user gave answers for its own download.
constexpr int kNavigationMs = 60000;

QUrl comparable(const QUrl &url)
{
    return url.adjusted(QUrl::RemoveFragment | QUrl::NormalizePathSegments);
}

bool isUserInput(const QEvent *event)
{
    if (!event->spontaneous())
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: // a second press soon after the first
    case QEvent::TouchBegin:
        return true;
    case QEvent::KeyPress:
        switch (static_cast<const QKeyEvent *>(event)->key()) {
        case Qt::Key_Escape:
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_Meta:
        case Qt::Key_CapsLock:
            return false;
        default:
            return true;
        }
    default:
        return false;
    }
}

} // namespace

UserActions::UserActions(QObject *parent)
    : QObject(parent)
{
    QCoreApplication::instance()->installEventFilter(this);
}

UserActions::Steps &UserActions::stepsOf(QWebEnginePage *page)
{
    if (!m_steps.contains(page))
        connect(page, &QObject::destroyed, this, [this, page] { m_steps.remove(page); });
    return m_steps[page];
}

void UserActions::navigated(QWebEnginePage *page, const QUrl &address)
{
    Steps &steps = stepsOf(page);
    steps.navigation.setRemainingTime(kNavigationMs);
    steps.address = comparable(address);
}

void UserActions::opened(const QWebEnginePage *opener, QWebEnginePage *page)
{
    const auto it = m_steps.find(opener);
    if (it == m_steps.end() || it->input.hasExpired())
        return;
    const QDeadlineTimer click = it->input;
    it->input = QDeadlineTimer();
    stepsOf(page).input = click;
}

bool UserActions::take(const QWebEnginePage *page, const QUrl &url)
{
    const auto it = m_steps.find(page);
    if (it == m_steps.end())
        return false;
    if (!it->input.hasExpired()) {
        it->input = QDeadlineTimer();
        return true;
    }
    if (!it->navigation.hasExpired() && it->address == comparable(url)) {
        it->navigation = QDeadlineTimer();
        return true;
    }
    return false;
}

bool UserActions::eventFilter(QObject *watched, QEvent *event)
{
    if (!isUserInput(event))
        return false;
    // The page's own widgets and its context menu are the view's children.
    for (QObject *o = watched; o; o = o->parent()) {
        if (auto *view = qobject_cast<QWebEngineView *>(o)) {
            stepsOf(view->page()).input.setRemainingTime(kInputMs);
            break;
        }
    }
    return false;
}
