#include "FullScreen.h"

#include "window/PageSite.h"

#include <QAction>
#include <QBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineView>

namespace {

// How long the screen says whose it is and how to take it back.
constexpr int kNoticeMs = 4000;

QString noticeFor(const QUrl &origin)
{
    return QStringLiteral("%1 is now full screen: press Esc to leave").arg(PageSite::of(origin).subject());
}

class FullScreenWindow : public QWidget
{
public:
    FullScreenWindow(QWebEngineView *view, const QUrl &origin)
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
        showNotice(noticeFor(origin));
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

protected:
    void resizeEvent(QResizeEvent *e) override
    {
        QWidget::resizeEvent(e);
        placeNotice();
    }

private:
    // Over the page, which cannot draw there: a page that fills the screen
    // could otherwise pass itself off as anything, the desktop included.
    void showNotice(const QString &text)
    {
        m_notice = new QLabel(this);
        m_notice->setObjectName(QStringLiteral("FullScreenNotice"));
        m_notice->setTextFormat(Qt::PlainText);
        m_notice->setText(text);
        m_notice->setMargin(12);
        m_notice->setStyleSheet(QStringLiteral("background: #202020; color: white; border-radius: 6px;"));
        QFont bold = m_notice->font();
        bold.setBold(true);
        m_notice->setFont(bold);
        m_notice->adjustSize();
        placeNotice();
        m_notice->show();
        m_notice->raise();
        QTimer::singleShot(kNoticeMs, m_notice, &QWidget::hide);
    }
    void placeNotice()
    {
        if (m_notice)
            m_notice->move(qMax(0, (width() - m_notice->width()) / 2), height() / 10);
    }

    QPointer<QLabel> m_notice;
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
            new FullScreenWindow(view, request.origin());
        request.accept();
        return;
    }
    if (current)
        current->giveBack();
    request.accept();
}
