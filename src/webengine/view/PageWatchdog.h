#pragma once

#include <QTimer>
#include <QWidget>

class QWebEnginePage;

// A bar over the page that appears when the page has not answered for a
// few seconds after the user tried to leave, stop or reload it, and offers
// to end it. An endless script otherwise holds the window on that page.
class PageWatchdog : public QWidget
{
public:
    PageWatchdog(QWebEnginePage *page, QWidget *parent);

    // The user asked the page to move on: if it does not answer soon, say so.
    void userActed();

private:
    void pageAnswered();
    void endPage();

    QWebEnginePage *m_page;
    QTimer m_patience;
    int m_probe = 0;
    bool m_waiting = false;
};
