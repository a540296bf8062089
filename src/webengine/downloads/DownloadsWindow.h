#pragma once

#include <QWidget>

class DownloadManager;
class QPushButton;
class QTableWidget;

// The run's downloads, one row each with its progress and its end in words,
// and Cancel, Open and Open Folder for the chosen one. It does not keep the
// program running: the program ends with its last browser window.
class DownloadsWindow : public QWidget
{
public:
    explicit DownloadsWindow(DownloadManager *downloads);

private:
    void addRow(int index);
    void showRow(int index);
    void updateButtons();
    void open(bool folder);

    DownloadManager *m_downloads;
    QTableWidget *m_list;
    QPushButton *m_cancel;
    QPushButton *m_open;
    QPushButton *m_openFolder;
};
