#include "FullScreen.h"

#include <QAction>
#include <QBoxLayout>
#include <QPointer>
#include <QScreen>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineView>

namespace {

class FullScreenWindow : public QWidget
{
public:
    explicit FullScreenWindow(QWebEngineView *view)
        : QWidget(view->window(), Qt::Window), m_view(view), m_home(view->parentWidget())
    {
        setObjectName(QStringLiteral("FullScreen"));
        setWindowTitle(view->window()->windowTitle());
        m_index = m_home->layout() ? m_home->layout()->indexOf(view) : -1;
        auto *column = new QVBoxLayout(this);
        column->setContentsMargins(0, 0, 0, 0);
        column->addWidget(view);
        auto *leave = new QAction(this);
        leave->setShortcut(Qt::Key_Escape);
        leave->setShortcutContext(Qt::WindowShortcut);
        connect(leave, &QAction::triggered, view, [view] { view->triggerPageAction(QWebEnginePage::ExitFullScreen); });
        addAction(leave);
        // Also where no window manager carries out the full-screen state.
        if (QScreen *screen = view->screen())
            setGeometry(screen->geometry());
        showFullScreen();
        view->setFocus();
    }

    // Puts the view back where it came from.
    void giveBack()
    {
        if (m_view && m_home) {
            if (auto *box = qobject_cast<QBoxLayout *>(m_home->layout()))
                box->insertWidget(qMax(0, m_index), m_view, 1);
            else
                m_view->setParent(m_home);
            m_view->show();
            m_view->setFocus();
        }
        hide();
        deleteLater();
    }

private:
    QPointer<QWebEngineView> m_view;
    QPointer<QWidget> m_home;
    int m_index = -1;
};

} // namespace

void handleFullScreenRequest(QWebEngineView *view, QWebEngineFullScreenRequest &request)
{
    auto *current = dynamic_cast<FullScreenWindow *>(view->window());
    if (request.toggleOn()) {
        if (!current)
            new FullScreenWindow(view);
        request.accept();
        return;
    }
    if (current)
        current->giveBack();
    request.accept();
}
