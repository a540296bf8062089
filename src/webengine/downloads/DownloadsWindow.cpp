#include "DownloadsWindow.h"

#include "DownloadManager.h"
#include "common/MessageBoxes.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace {

enum Column { NameColumn, ProgressColumn, StatusColumn, ColumnCount };

QString statusText(const DownloadManager::Download &d)
{
    const QLocale locale;
    switch (d.state) {
    case DownloadManager::State::Asking: return QStringLiteral("Waiting for your answer");
    case DownloadManager::State::Running:
        return d.total > 0 ? QStringLiteral("%1 of %2").arg(locale.formattedDataSize(d.received),
                                                             locale.formattedDataSize(d.total))
                           : locale.formattedDataSize(d.received);
    case DownloadManager::State::Complete:
        return QStringLiteral("Complete, %1").arg(locale.formattedDataSize(d.received));
    case DownloadManager::State::Failed: return QStringLiteral("Failed: %1").arg(d.reason);
    case DownloadManager::State::Cancelled: return QStringLiteral("Cancelled");
    case DownloadManager::State::Refused: return QStringLiteral("Refused: %1").arg(d.reason);
    }
    return QString();
}

} // namespace

DownloadsWindow::DownloadsWindow(DownloadManager *downloads)
    : m_downloads(downloads)
{
    setObjectName(QStringLiteral("frmDownloads"));
    setWindowTitle(QStringLiteral("Downloads"));
    // The program ends with its last browser window, which asks first when
    // downloads run; this window alone does not keep it going.
    setAttribute(Qt::WA_QuitOnClose, false);

    m_list = new QTableWidget(0, ColumnCount, this);
    m_list->setObjectName(QStringLiteral("lstDownloads"));
    m_list->setHorizontalHeaderLabels({QStringLiteral("File"), QStringLiteral("Progress"), QStringLiteral("Status")});
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    m_list->horizontalHeader()->setSectionResizeMode(StatusColumn, QHeaderView::Stretch);

    m_cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("cmdCancel"));
    m_open = new QPushButton(QStringLiteral("&Open"), this);
    m_open->setObjectName(QStringLiteral("cmdOpen"));
    m_openFolder = new QPushButton(QStringLiteral("Open &Folder"), this);
    m_openFolder->setObjectName(QStringLiteral("cmdOpenFolder"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_cancel);
    buttons->addStretch(1);
    buttons->addWidget(m_open);
    buttons->addWidget(m_openFolder);
    auto *column = new QVBoxLayout(this);
    column->addWidget(m_list, 1);
    column->addLayout(buttons);

    auto *close = new QAction(this);
    close->setShortcut(QKeySequence(Qt::Key_Escape));
    addAction(close);
    connect(close, &QAction::triggered, this, &QWidget::close);
    connect(m_cancel, &QPushButton::clicked, this, [this] { m_downloads->cancel(m_list->currentRow()); });
    connect(m_open, &QPushButton::clicked, this, [this] { open(false); });
    connect(m_openFolder, &QPushButton::clicked, this, [this] { open(true); });
    connect(m_list, &QTableWidget::cellDoubleClicked, this, [this] {
        if (m_open->isEnabled())
            open(false);
    });
    connect(m_list, &QTableWidget::currentCellChanged, this, &DownloadsWindow::updateButtons);
    connect(m_downloads, &DownloadManager::added, this, &DownloadsWindow::addRow);
    connect(m_downloads, &DownloadManager::changed, this, &DownloadsWindow::showRow);

    for (int i = 0; i < m_downloads->list().size(); ++i)
        addRow(i);
    updateButtons();
    resize(640, 320);
}

void DownloadsWindow::addRow(int index)
{
    m_list->insertRow(index);
    m_list->setItem(index, NameColumn, new QTableWidgetItem);
    m_list->setItem(index, StatusColumn, new QTableWidgetItem);
    auto *bar = new QProgressBar;
    bar->setRange(0, 100);
    m_list->setCellWidget(index, ProgressColumn, bar);
    showRow(index);
    // The newest download is the one the user looks for.
    m_list->setCurrentCell(index, NameColumn);
}

void DownloadsWindow::showRow(int index)
{
    if (index >= m_list->rowCount())
        return;
    const DownloadManager::Download &d = m_downloads->list().at(index);
    QTableWidgetItem *name = m_list->item(index, NameColumn);
    name->setText(d.fileName());
    name->setToolTip(QDir::toNativeSeparators(d.path));
    m_list->item(index, StatusColumn)->setText(statusText(d));
    auto *bar = static_cast<QProgressBar *>(m_list->cellWidget(index, ProgressColumn));
    if (d.state == DownloadManager::State::Complete)
        bar->setValue(100);
    else if (d.total > 0)
        bar->setValue(int(d.received * 100 / d.total));
    if (index == m_list->currentRow())
        updateButtons();
}

void DownloadsWindow::updateButtons()
{
    const int row = m_list->currentRow();
    const bool chosen = row >= 0 && row < m_downloads->list().size();
    const DownloadManager::State state = chosen ? m_downloads->list().at(row).state : DownloadManager::State::Refused;
    m_cancel->setEnabled(state == DownloadManager::State::Asking || state == DownloadManager::State::Running);
    m_open->setEnabled(state == DownloadManager::State::Complete);
    m_openFolder->setEnabled(chosen && !m_downloads->list().at(row).path.isEmpty()
                             && state != DownloadManager::State::Refused);
}

void DownloadsWindow::open(bool folder)
{
    const int row = m_list->currentRow();
    if (row < 0 || row >= m_downloads->list().size())
        return;
    const QString path = m_downloads->list().at(row).path;
    const QString target = folder ? QFileInfo(path).absolutePath() : path;
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(target)))
        newMessageBox(this, QMessageBox::Warning, QStringLiteral("Downloads"),
                      QStringLiteral("No program here opens %1.").arg(QDir::toNativeSeparators(target)),
                      QStringLiteral("DownloadMessage"))
            ->show();
}
