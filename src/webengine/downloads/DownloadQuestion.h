#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QMessageBox;
class QWidget;

// The one question a window asks about downloads its page started without
// the user's click or key: it names the site and the file. What the page
// starts while it is up joins it, up to a bound, so a storm of downloads
// makes one question rather than a pile of them.
class DownloadQuestion : public QObject
{
    Q_OBJECT
public:
    enum class Answer { Allow, Deny, WindowGone };

    // Asks in `window` about download `entry`, a file called `name` that a
    // page of `origin` started; the question calls the site `site`.
    DownloadQuestion(QWidget *window, const QString &origin, const QString &site, const QString &name, int entry,
                     QObject *parent);
    ~DownloadQuestion() override;

    QWidget *window() const { return m_window; }
    const QString &origin() const { return m_origin; }
    const QList<int> &entries() const { return m_entries; }
    // Whether it holds as many downloads as it may.
    bool isFull() const;
    // Adds another download of the site, when not full.
    void join(int entry);

signals:
    void answered(DownloadQuestion::Answer answer);

private:
    void answer(Answer answer);
    QString text() const;

    QWidget *m_window;
    QPointer<QMessageBox> m_box;
    QString m_origin;
    QString m_site;
    QString m_name;
    QList<int> m_entries;
    bool m_answered = false;
};
