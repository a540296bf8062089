#pragma once

#include <QTimer>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QWebEngineView;

// The view's own find bar below the page: text, next, previous, match case,
// and how many matches there are. Its close button, or Escape in its text,
// hides it and gives the page back the focus.
class FindBar : public QWidget
{
    Q_OBJECT
public:
    FindBar(QWebEngineView *view, QWidget *parent);

    void open();
    // The next or previous match of the text the bar holds; with none, the
    // bar opens for one.
    void findAgain(bool backward);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void addControls();
    void find(bool backward);
    void showResult(const QString &text, int activeMatch, int matches);
    void dismiss();

    QWebEngineView *m_view;
    QLineEdit *m_text = nullptr;
    QCheckBox *m_case = nullptr;
    QLabel *m_status = nullptr;
    QTimer m_typing;
    int m_request = 0;
};
