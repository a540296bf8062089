#include "DownloadQuestion.h"

#include "common/MessageBoxes.h"

#include <QPushButton>

namespace {
// Downloads one question holds; a page that starts more is refused them.
constexpr int kMostAsked = 50;
} // namespace

DownloadQuestion::DownloadQuestion(QWidget *window, const QString &origin, const QString &site, const QString &name,
                                   int entry, QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_origin(origin)
    , m_site(site)
    , m_name(name)
    , m_entries{entry}
{
    // Not modal: the window and its page go on while the user decides.
    m_box = newMessageBox(window, QMessageBox::Question, QStringLiteral("Download"), text(),
                          QStringLiteral("DownloadQuestion"), QMessageBox::NoButton);
    m_box->setWindowModality(Qt::NonModal);
    // Said of every download asked about, as a download that came too late
    // after the user's click is asked about too.
    m_box->setInformativeText(QStringLiteral("Kestrel asks about downloads that do not follow your click or key at "
                                             "once. Your answer holds for this site until Kestrel closes."));
    QPushButton *allow = m_box->addButton(QStringLiteral("&Allow"), QMessageBox::AcceptRole);
    QPushButton *deny = m_box->addButton(QStringLiteral("&Deny"), QMessageBox::RejectRole);
    m_box->setDefaultButton(deny);
    m_box->setEscapeButton(deny);
    connect(m_box, &QMessageBox::finished, this,
            [this, allow] { answer(m_box->clickedButton() == allow ? Answer::Allow : Answer::Deny); });
    connect(m_box, &QObject::destroyed, this, [this] { answer(Answer::WindowGone); });
    m_box->show();
}

DownloadQuestion::~DownloadQuestion()
{
    if (m_box)
        m_box->deleteLater();
}

bool DownloadQuestion::isFull() const
{
    return m_answered || m_entries.size() >= kMostAsked;
}

void DownloadQuestion::join(int entry)
{
    if (isFull())
        return;
    m_entries << entry;
    m_box->setText(text());
}

void DownloadQuestion::answer(Answer answer)
{
    if (m_answered)
        return;
    m_answered = true;
    emit answered(answer);
    deleteLater();
}

QString DownloadQuestion::text() const
{
    if (m_entries.size() == 1)
        return QStringLiteral("%1 wants to download %2.").arg(m_site, m_name);
    return QStringLiteral("%1 wants to download %2 and %3 more files.")
        .arg(m_site, m_name, QString::number(m_entries.size() - 1));
}
