#pragma once

#include "history/HistoryEntry.h"

#include <QWidget>

class History;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The pages the user saw, newest first, with a search box that matches
// titles and addresses. Enter in the box opens the first match; Enter or a
// double-click on an entry opens that one; Delete removes the chosen ones.
// Titles and addresses come from pages and are shown as plain text.
class HistoryWindow : public QWidget
{
    Q_OBJECT
public:
    explicit HistoryWindow(History *history, QWidget *parent = nullptr);

    // Shows the window with the search box ready for typing.
    void bringUp();

signals:
    void openRequested(const QString &address);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void search();
    void showEntries(int ticket, const HistoryEntries &entries);
    void openFirstMatch();
    void openItem(QTreeWidgetItem *item);
    void removeChosen();

    History *m_history;
    QLineEdit *m_search = nullptr;
    QTreeWidget *m_list = nullptr;
    QPushButton *m_delete = nullptr;
    int m_ticket = 0;            // the search whose answer the list is to show
    bool m_shownIsCurrent = true; // the list answers the text now in the box
    bool m_openWhenFound = false; // Enter came before the answer
};
