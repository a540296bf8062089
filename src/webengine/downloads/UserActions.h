#pragma once

#include <QDeadlineTimer>
#include <QHash>
#include <QObject>
#include <QUrl>

class QWebEnginePage;

// The user's own steps in each page, to tell a download the user asked for
// from one a page started on its own. A click or a key in the page (its
// context menu included) answers for one download that starts within a few
// seconds; an address the user gave answers for one download of that very
// address. Input is watched as the application delivers it, so only what
// came from the user's devices counts.
class UserActions : public QObject
{
public:
    explicit UserActions(QObject *parent = nullptr);

    // The user asked `page` to load `address`.
    void navigated(QWebEnginePage *page, const QUrl &address);
    // `opener` opened `page` as its new window: the click that did it
    // answers for a download there (a link to a file in a new window).
    void opened(const QWebEnginePage *opener, QWebEnginePage *page);
    // Whether the user asked for a download of `url` from `page`; the step
    // that asked is spent.
    bool take(const QWebEnginePage *page, const QUrl &url);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Steps
    {
        QDeadlineTimer input;      // expired when there was none, or it is spent
        QDeadlineTimer navigation;
        QUrl address;
    };
    Steps &stepsOf(QWebEnginePage *page);

    QHash<const QWebEnginePage *, Steps> m_steps;
};
