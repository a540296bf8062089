#include "ScriptDialogs.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QString siteOf(const QUrl &url)
{
    return url.scheme() + QStringLiteral("://") + url.host();
}

QLabel *plainLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setText(text);
    return label;
}

} // namespace

ScriptDialogs::ScriptDialogs(QWidget *pageArea)
    : QObject(pageArea), m_area(pageArea)
{
}

void ScriptDialogs::pageMovedTo(const QUrl &url)
{
    if (siteOf(url) == m_site)
        return;
    m_site = siteOf(url);
    m_shownOnSite = 0;
    m_stopped = false;
}

void ScriptDialogs::windowClosing()
{
    m_closing = true;
    // Boxes can stack when frames of the page ask at once; all of them go.
    for (QDialog *box : m_area->window()->findChildren<QDialog *>(QStringLiteral("ScriptDialog")))
        box->reject();
}

ScriptDialogs::Box ScriptDialogs::makeBox(Kind kind, const QUrl &pageUrl, const QString &message, const QString &text)
{
    // A page's words can be any length; a box taller than the screen hides its buttons.
    constexpr int kLongestMessage = 2000;
    const QString shown = message.size() > kLongestMessage ? message.left(kLongestMessage) + QChar(u'\u2026') : message;

    Box b;
    b.dialog = new QDialog(m_area->window());
    QDialog *box = b.dialog;
    box->setObjectName(QStringLiteral("ScriptDialog"));
    box->setWindowTitle(kind == Kind::Leave ? QStringLiteral("Leave Page") : QStringLiteral("Kestrel"));
    auto *column = new QVBoxLayout(box);
    if (kind != Kind::Leave) {
        const QString host = pageUrl.host().isEmpty() ? pageUrl.scheme() : pageUrl.host();
        column->addWidget(plainLabel(QStringLiteral("The page at %1 says:").arg(host), box));
    }
    column->addWidget(plainLabel(kind == Kind::Leave ? QStringLiteral("Leave this page? Changes you made may not be saved.")
                                                     : shown,
                                 box));
    if (kind == Kind::Prompt) {
        b.answer = new QLineEdit(text, box);
        b.answer->setObjectName(QStringLiteral("txtScriptAnswer"));
        b.answer->setAccessibleName(QStringLiteral("Answer"));
        b.answer->setAccessibleDescription(QStringLiteral("Your answer to the page's question"));
        column->addWidget(b.answer);
    }
    if (kind != Kind::Leave && m_shownOnSite > 0) {
        b.stop = new QCheckBox(QStringLiteral("&Stop this page's dialogs"), box);
        b.stop->setObjectName(QStringLiteral("chkStopDialogs"));
        column->addWidget(b.stop);
    }
    column->addWidget(makeButtons(kind, box));
    return b;
}

QDialogButtonBox *ScriptDialogs::makeButtons(Kind kind, QDialog *box)
{
    auto *buttons = new QDialogButtonBox(box);
    if (kind == Kind::Leave) {
        buttons->addButton(QStringLiteral("&Leave"), QDialogButtonBox::AcceptRole)->setObjectName(QStringLiteral("cmdLeave"));
        buttons->addButton(QStringLiteral("&Stay"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("cmdStay"));
    } else {
        buttons->setStandardButtons(kind == Kind::Alert ? QDialogButtonBox::Ok
                                                        : QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    }
    connect(buttons, &QDialogButtonBox::accepted, box, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, box, &QDialog::reject);
    return buttons;
}

bool ScriptDialogs::ask(Kind kind, const QUrl &pageUrl, const QString &message, QString *text)
{
    if (kind != Kind::Leave && (m_stopped || m_closing))
        return false;
    pageMovedTo(pageUrl);
    const Box b = makeBox(kind, pageUrl, message, text ? *text : QString());
    ++m_shownOnSite;

    // The engine wants its answer before the page runs on, so the wait is a
    // local loop; the box itself is not modal, so a close box or another
    // window's menu still reaches the program while it is up.
    QEventLoop wait;
    connect(b.dialog, &QDialog::finished, &wait, &QEventLoop::quit);
    connect(b.dialog, &QObject::destroyed, &wait, &QEventLoop::quit);
    const QPointer<QDialog> alive = b.dialog;
    ++m_asking;
    b.dialog->show();
    wait.exec();
    --m_asking;
    if (!alive)
        return false;
    const bool accepted = b.dialog->result() == QDialog::Accepted;
    if (b.stop && b.stop->isChecked())
        m_stopped = true;
    if (b.answer && accepted && text)
        *text = b.answer->text();
    b.dialog->deleteLater();
    return accepted;
}
