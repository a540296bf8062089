#pragma once

#include <QPointer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWidget>

class PermissionAnswers;

// A page's permission requests, asked in bars above the page: one bar for
// each site and use however often the page asks, a few bars at most, and
// nothing that holds the window. Every request is answered: by the user's
// Allow or Deny (which then holds for the run), and with a denial when the
// page navigates, withdraws it or its window closes.
class PermissionBars : public QWidget
{
public:
    PermissionBars(PermissionAnswers &answers, QWebEnginePage *page, QWidget *parent);
    ~PermissionBars() override;

    void request(const QUrl &origin, QWebEnginePage::Feature feature);
    // The page left, or its window is closing: what is still asked is denied.
    void withdrawAll();

private:
    struct Question
    {
        QUrl origin;
        QWebEnginePage::Feature feature;
        QWidget *bar;
    };
    QWidget *makeBar(const QUrl &origin, QWebEnginePage::Feature feature);
    void answer(QWidget *bar, bool granted);
    void withdraw(const QUrl &origin, QWebEnginePage::Feature feature);
    void deny(const QUrl &origin, QWebEnginePage::Feature feature);
    void removeAt(int index);

    PermissionAnswers &m_answers;
    QPointer<QWebEnginePage> m_page;
    QList<Question> m_questions;
};
