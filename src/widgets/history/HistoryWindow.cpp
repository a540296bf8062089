#include "HistoryWindow.h"

#include "history/History.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// Enough to find a page; the rest is found by typing more.
constexpr int kShownEntries = 500;

enum Column { TitleColumn, AddressColumn, VisitedColumn };

// Page text on one line: a title may hold line breaks and other controls.
QString oneLine(QString text)
{
    for (QChar &c : text) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    }
    return text;
}

} // namespace

HistoryWindow::HistoryWindow(History *history, QWidget *parent)
    : QWidget(parent, Qt::Window), m_history(history)
{
    setObjectName(QStringLiteral("frmHistory"));
    setWindowTitle(QStringLiteral("History"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("txtHistorySearch"));
    m_search->setPlaceholderText(QStringLiteral("Search titles and addresses"));
    m_search->setClearButtonEnabled(true);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("lstHistory"));
    m_list->setHeaderLabels({QStringLiteral("Title"), QStringLiteral("Address"), QStringLiteral("Visited")});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setTextElideMode(Qt::ElideRight);
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(TitleColumn, QHeaderView::Stretch);
    m_list->header()->setSectionResizeMode(AddressColumn, QHeaderView::Stretch);
    m_list->header()->setSectionResizeMode(VisitedColumn, QHeaderView::ResizeToContents);
    m_delete = new QPushButton(QStringLiteral("&Delete"), this);
    m_delete->setObjectName(QStringLiteral("cmdHistoryDelete"));
    m_delete->setEnabled(false);

    auto *column = new QVBoxLayout(this);
    column->addWidget(m_search);
    column->addWidget(m_list, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_delete);
    column->addLayout(buttons);
    resize(720, 480);

    m_search->installEventFilter(this);
    m_list->installEventFilter(this);
    connect(m_search, &QLineEdit::textChanged, this, &HistoryWindow::search);
    connect(m_search, &QLineEdit::returnPressed, this, &HistoryWindow::openFirstMatch);
    connect(m_list, &QTreeWidget::itemActivated, this, &HistoryWindow::openItem);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this,
            [this] { m_delete->setEnabled(!m_list->selectedItems().isEmpty()); });
    connect(m_delete, &QPushButton::clicked, this, &HistoryWindow::removeChosen);
    if (m_history) {
        connect(m_history, &History::found, this, &HistoryWindow::showEntries);
        // Pages seen, removed or cleared meanwhile, here or in another window.
        connect(m_history, &History::changed, this, &HistoryWindow::search);
    }
    search();
}

void HistoryWindow::bringUp()
{
    QWidget::show();
    raise();
    activateWindow();
    m_search->setFocus(Qt::OtherFocusReason);
    m_search->selectAll();
}

void HistoryWindow::search()
{
    if (!m_history)
        return;
    m_shownIsCurrent = false;
    m_ticket = m_history->find(m_search->text(), kShownEntries);
}

void HistoryWindow::showEntries(int ticket, const HistoryEntries &entries)
{
    if (ticket != m_ticket)
        return; // an answer to text the user has typed on from
    m_shownIsCurrent = true;
    const QString chosen = m_list->currentItem() ? m_list->currentItem()->data(AddressColumn, Qt::UserRole).toString()
                                                 : QString();
    m_list->clear();
    QList<QTreeWidgetItem *> items;
    const QLocale locale;
    for (const HistoryEntry &entry : entries) {
        auto *item = new QTreeWidgetItem;
        const QString title = oneLine(entry.title).trimmed();
        item->setText(TitleColumn, title.isEmpty() ? oneLine(entry.address) : title);
        item->setText(AddressColumn, oneLine(entry.address));
        item->setData(AddressColumn, Qt::UserRole, entry.address);
        item->setText(VisitedColumn, locale.toString(entry.visited.toLocalTime(), QLocale::ShortFormat));
        item->setToolTip(TitleColumn, item->text(TitleColumn).toHtmlEscaped());
        item->setToolTip(AddressColumn, item->text(AddressColumn).toHtmlEscaped());
        items << item;
    }
    m_list->addTopLevelItems(items);
    for (QTreeWidgetItem *item : items) {
        if (item->data(AddressColumn, Qt::UserRole).toString() == chosen) {
            m_list->setCurrentItem(item);
            break;
        }
    }
    if (m_openWhenFound) {
        m_openWhenFound = false;
        openFirstMatch();
    }
}

void HistoryWindow::openFirstMatch()
{
    // Enter typed right after the last letter means the match for all of it.
    if (!m_shownIsCurrent) {
        m_openWhenFound = true;
        return;
    }
    if (QTreeWidgetItem *first = m_list->topLevelItem(0))
        openItem(first);
}

void HistoryWindow::openItem(QTreeWidgetItem *item)
{
    if (item)
        emit openRequested(item->data(AddressColumn, Qt::UserRole).toString());
}

void HistoryWindow::removeChosen()
{
    QStringList addresses;
    const QList<QTreeWidgetItem *> chosen = m_list->selectedItems();
    for (QTreeWidgetItem *item : chosen)
        addresses << item->data(AddressColumn, Qt::UserRole).toString();
    if (addresses.isEmpty() || !m_history)
        return;
    qDeleteAll(chosen);
    m_history->remove(addresses);
}

bool HistoryWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    // From the box, Down goes on to the list.
    if (watched == m_search && key == Qt::Key_Down && m_list->topLevelItemCount() > 0) {
        m_list->setFocus(Qt::TabFocusReason);
        if (!m_list->currentItem())
            m_list->setCurrentItem(m_list->topLevelItem(0));
        return true;
    }
    if (watched == m_list && key == Qt::Key_Delete) {
        removeChosen();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
