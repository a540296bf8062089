#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QWebEnginePage>

class QWebEngineDownloadRequest;
class QWebEngineProfile;
class QWidget;

// Takes every download of a profile: the file goes to the user's Downloads
// folder under the name the server suggests, never over an existing file;
// the page that started it hears of the progress and of the end through
// statusChanged, for its window's status bar. A failure is reported in a
// message box, also when the window has gone meanwhile.
class DownloadManager : public QObject
{
    Q_OBJECT
public:
    explicit DownloadManager(QWebEngineProfile *profile);

    // The next download of `url` that `page` starts is a file the user chose
    // (a PDF saved or printed to a file): it goes to `path`, not to Downloads.
    void saveTo(const QWebEnginePage *page, const QUrl &url, const QString &path);

signals:
    // A status line about a download that `page` started.
    void statusChanged(const QWebEnginePage *page, const QString &text);

private:
    void start(QWebEngineDownloadRequest *download);
    void showStatus(const QPointer<QWebEnginePage> &page, const QString &text);
    void progress(QWebEngineDownloadRequest *download, const QPointer<QWebEnginePage> &page);
    void finished(QWebEngineDownloadRequest *download, QWidget *window, const QPointer<QWebEnginePage> &page);

    int m_running = 0; // downloads under way
    QHash<QString, QString> m_chosenPaths; // by page and address
};
