#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

class QWidget;

// Lets a page open windows only in answer to the user: a click or a key in
// the page's own area a moment ago, and only a few for each such action.
// Without it one page load could open windows until memory runs out.
class PopUpGate : public QObject
{
public:
    explicit PopUpGate(QWidget *pageArea);

    // True when a window may open now; each true counts against the action.
    bool allowWindow();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_area;
    QElapsedTimer m_sinceAction;
    int m_openedForAction = 0;
};
