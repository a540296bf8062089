#include "FindBar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>
#include <QWebEngineFindTextResult>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {
// Searching starts when typing pauses: a search started while another is
// still running can be answered for the one it replaced.
constexpr int kTypingPauseMs = 150;
} // namespace

FindBar::FindBar(QWebEngineView *view, QWidget *parent)
    : QWidget(parent), m_view(view)
{
    setObjectName(QStringLiteral("FindBar"));
    addControls();
    m_typing.setSingleShot(true);
    m_typing.setInterval(kTypingPauseMs);
    connect(&m_typing, &QTimer::timeout, this, [this] { find(false); });
    connect(m_text, &QLineEdit::textChanged, &m_typing, qOverload<>(&QTimer::start));
    connect(m_text, &QLineEdit::returnPressed, this, [this] { find(false); });
    connect(m_case, &QCheckBox::toggled, this, [this] { find(false); });
    m_text->installEventFilter(this);
    hide();
}

void FindBar::addControls()
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    row->addWidget(new QLabel(QStringLiteral("Find:"), this));
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("findText"));
    m_text->setAccessibleName(QStringLiteral("Find"));
    m_text->setAccessibleDescription(QStringLiteral("Words to find in the page"));
    row->addWidget(m_text, 1);
    auto *previous = new QPushButton(QStringLiteral("&Previous"), this);
    auto *next = new QPushButton(QStringLiteral("&Next"), this);
    m_case = new QCheckBox(QStringLiteral("Match &case"), this);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("findStatus"));
    m_status->setAccessibleDescription(QStringLiteral("Matches found"));
    showResult(QString(), 0, 0);
    auto *close = new QToolButton(this);
    close->setText(QStringLiteral("✕"));
    close->setToolTip(QStringLiteral("Close (Esc)"));
    close->setAccessibleName(QStringLiteral("Close"));
    close->setAccessibleDescription(QStringLiteral("Closes the find bar"));
    for (QWidget *control : std::initializer_list<QWidget *>{previous, next, m_case, m_status, close})
        row->addWidget(control);
    connect(next, &QPushButton::clicked, this, [this] { find(false); });
    connect(previous, &QPushButton::clicked, this, [this] { find(true); });
    connect(close, &QToolButton::clicked, this, &FindBar::dismiss);
}

void FindBar::open()
{
    show();
    m_text->setFocus(Qt::ShortcutFocusReason);
    m_text->selectAll();
}

void FindBar::findAgain(bool backward)
{
    if (m_text->text().isEmpty()) {
        open();
        return;
    }
    show();
    find(backward);
}

bool FindBar::eventFilter(QObject *watched, QEvent *event)
{
    const bool key = event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride;
    if (key && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        // The bar's Escape comes before the window's, which stops a loading page.
        if (event->type() == QEvent::KeyPress)
            dismiss();
        event->accept();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void FindBar::find(bool backward)
{
    m_typing.stop();
    QWebEnginePage::FindFlags flags;
    if (backward)
        flags |= QWebEnginePage::FindBackward;
    if (m_case->isChecked())
        flags |= QWebEnginePage::FindCaseSensitively;
    const QString text = m_text->text();
    // Typing asks again at every key; an answer to an earlier request can
    // arrive after the latest one and must not overwrite it.
    const int request = ++m_request;
    QPointer<FindBar> self = this;
    m_view->page()->findText(text, flags, [self, request, text](const QWebEngineFindTextResult &result) {
        if (self && request == self->m_request)
            self->showResult(text, result.activeMatch(), result.numberOfMatches());
    });
}

void FindBar::showResult(const QString &text, int activeMatch, int matches)
{
    if (text.isEmpty())
        m_status->clear();
    else if (matches == 0)
        m_status->setText(QStringLiteral("Not found"));
    else
        m_status->setText(QStringLiteral("%1 of %2").arg(activeMatch).arg(matches));
    m_status->setAccessibleName(m_status->text().isEmpty() ? m_status->accessibleDescription() : m_status->text());
}

void FindBar::dismiss()
{
    m_view->page()->findText(QString());
    showResult(QString(), 0, 0);
    hide();
    m_view->setFocus();
}
