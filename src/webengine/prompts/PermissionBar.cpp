#include "PermissionBar.h"

#include "PermissionAnswers.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace {
// Different sites and uses asked at once; a page that asks for more is
// refused the rest rather than filling the window with bars.
constexpr int kMostBars = 3;
} // namespace

PermissionBars::PermissionBars(PermissionAnswers &answers, QWebEnginePage *page, QWidget *parent)
    : QWidget(parent), m_answers(answers), m_page(page)
{
    setObjectName(QStringLiteral("PermissionBars"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    hide();
    connect(page, &QWebEnginePage::featurePermissionRequestCanceled, this, &PermissionBars::withdraw);
}

PermissionBars::~PermissionBars()
{
    withdrawAll();
}

void PermissionBars::request(const QUrl &origin, QWebEnginePage::Feature feature)
{
    if (const std::optional<bool> given = m_answers.answer(origin, feature)) {
        m_page->setFeaturePermission(origin, feature, *given ? QWebEnginePage::PermissionGrantedByUser
                                                             : QWebEnginePage::PermissionDeniedByUser);
        return;
    }
    // The page asks again: its bar is up, and its answer will answer this too.
    for (const Question &q : std::as_const(m_questions)) {
        if (q.origin == origin && q.feature == feature)
            return;
    }
    if (m_questions.size() >= kMostBars) {
        deny(origin, feature);
        return;
    }
    m_questions.append({origin, feature, makeBar(origin, feature)});
    show();
}

QWidget *PermissionBars::makeBar(const QUrl &origin, QWebEnginePage::Feature feature)
{
    auto *bar = new QFrame(this);
    bar->setObjectName(QStringLiteral("PermissionBar"));
    bar->setFrameShape(QFrame::StyledPanel);
    bar->setAutoFillBackground(true);
    bar->setBackgroundRole(QPalette::ToolTipBase);
    auto *row = new QHBoxLayout(bar);
    auto *question = new QLabel(bar);
    question->setTextFormat(Qt::PlainText);
    question->setText(PermissionAnswers::question(origin, feature));
    question->setForegroundRole(QPalette::ToolTipText);
    row->addWidget(question, 1);
    // Alt+D is the address box's; Alt+N is free in every window.
    auto *allow = new QPushButton(QStringLiteral("&Allow"), bar);
    allow->setObjectName(QStringLiteral("cmdAllow"));
    auto *deny = new QPushButton(QStringLiteral("De&ny"), bar);
    deny->setObjectName(QStringLiteral("cmdDeny"));
    row->addWidget(allow);
    row->addWidget(deny);
    connect(allow, &QPushButton::clicked, this, [this, bar] { answer(bar, true); });
    connect(deny, &QPushButton::clicked, this, [this, bar] { answer(bar, false); });
    layout()->addWidget(bar);
    return bar;
}

void PermissionBars::answer(QWidget *bar, bool granted)
{
    for (int i = 0; i < m_questions.size(); ++i) {
        const Question q = m_questions.at(i);
        if (q.bar != bar)
            continue;
        removeAt(i);
        m_answers.remember(q.origin, q.feature, granted);
        m_page->setFeaturePermission(q.origin, q.feature, granted ? QWebEnginePage::PermissionGrantedByUser
                                                                  : QWebEnginePage::PermissionDeniedByUser);
        return;
    }
}

void PermissionBars::withdraw(const QUrl &origin, QWebEnginePage::Feature feature)
{
    for (int i = 0; i < m_questions.size(); ++i) {
        if (m_questions.at(i).origin == origin && m_questions.at(i).feature == feature) {
            removeAt(i);
            return;
        }
    }
}

void PermissionBars::withdrawAll()
{
    while (!m_questions.isEmpty()) {
        const Question q = m_questions.constLast();
        removeAt(m_questions.size() - 1);
        deny(q.origin, q.feature);
    }
}

void PermissionBars::deny(const QUrl &origin, QWebEnginePage::Feature feature)
{
    // Answers what waits; the engine then forgets the denial again, as the
    // user decided nothing and the site may ask another time.
    if (!m_page)
        return;
    m_page->setFeaturePermission(origin, feature, QWebEnginePage::PermissionDeniedByUser);
    m_page->setFeaturePermission(origin, feature, QWebEnginePage::PermissionUnknown);
}

void PermissionBars::removeAt(int index)
{
    QWidget *bar = m_questions.takeAt(index).bar;
    bar->hide();
    bar->deleteLater();
    setVisible(!m_questions.isEmpty());
}
