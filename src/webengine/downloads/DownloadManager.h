#pragma once

#include <QObject>

class QWebEngineDownloadRequest;
class QWebEngineProfile;
class QWidget;

// Takes every download of a profile: the file goes to the user's Downloads
// folder under the name the server suggests, never over an existing file;
// the window that started it shows the progress in its status bar and says
// when the file is complete. A failure is reported in a message box, also
// when the window has gone meanwhile.
class DownloadManager : public QObject
{
    Q_OBJECT
public:
    explicit DownloadManager(QWebEngineProfile *profile);

private:
    void start(QWebEngineDownloadRequest *download);
    void progress(QWebEngineDownloadRequest *download, QWidget *window);
    void finished(QWebEngineDownloadRequest *download, QWidget *window);

    int m_running = 0; // downloads under way
};
