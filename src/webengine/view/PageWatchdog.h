#pragma once

#include <QTimer>
#include <QWidget>

class EngineContext;
class QLabel;
class QWebEnginePage;

// A bar over the page that appears when the page has not answered for a
// few seconds after the user tried to leave, stop or reload it, and offers
// to end it. An endless script otherwise holds the window on that page.
// Pages that share its process end with it; the bar says so beforehand, and
// each of their windows then says its page stopped.
class PageWatchdog : public QWidget
{
public:
    PageWatchdog(QWebEnginePage *page, const EngineContext &context, QWidget *parent);

    // The user asked the page to move on: if it does not answer soon, say so.
    void userActed();

private:
    void pageAnswered();
    void endPage();

    void showBar();

    QWebEnginePage *m_page;
    const EngineContext &m_context;
    QLabel *m_text;
    QTimer m_patience;
    int m_probe = 0;
    bool m_waiting = false;
};
