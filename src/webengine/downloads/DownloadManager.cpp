#include "DownloadManager.h"

#include "window/BrowserView.h"

#include <QDir>
#include <QEventLoopLocker>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QStandardPaths>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace {

// Tells the window through its view, so the text takes the way every status
// text takes.
void showStatus(QWidget *window, const QString &text)
{
    if (!window)
        return;
    if (auto *view = window->findChild<BrowserView *>())
        emit view->statusTextChanged(text);
}

// A message that waits for the user without stopping the window.
void tell(QWidget *window, const QString &text)
{
    auto *box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Download"), text, QMessageBox::Ok, window);
    box->setObjectName(QStringLiteral("DownloadMessage"));
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
}

} // namespace

DownloadManager::DownloadManager(QWebEngineProfile *profile)
    : QObject(profile)
{
    connect(profile, &QWebEngineProfile::downloadRequested, this, &DownloadManager::start);
}

void DownloadManager::start(QWebEngineDownloadRequest *download)
{
    QPointer<QWidget> window;
    if (QWebEngineView *view = download->page() ? QWebEngineView::forPage(download->page()) : nullptr)
        window = view->window();

    // A page saved with Save As arrives accepted, under the name the user chose.
    const bool named = download->state() != QWebEngineDownloadRequest::DownloadRequested;
    if (!named) {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
        QString suggested = QFileInfo(download->downloadFileName()).fileName();
        if (suggested.isEmpty())
            suggested = QStringLiteral("download");
        if (!QDir().mkpath(folder)) {
            download->cancel();
            tell(window, QStringLiteral("%1 was not downloaded: the folder %2 cannot be created.")
                             .arg(suggested, QDir::toNativeSeparators(folder)));
            return;
        }
        // The engine numbers the name ("name (1).ext") when the file exists.
        download->setDownloadDirectory(folder);
        download->setDownloadFileName(suggested);
    }
    ++m_running;

    // A download outlives the window that started it: the program keeps
    // running until it is complete, then reports to whoever is left.
    auto *keepRunning = new QEventLoopLocker;
    connect(download, &QWebEngineDownloadRequest::receivedBytesChanged, this,
            [this, download, window] { progress(download, window); });
    connect(download, &QWebEngineDownloadRequest::isFinishedChanged, this,
            [this, download, window, keepRunning] {
                --m_running;
                finished(download, window);
                delete keepRunning;
            });
    if (!named)
        download->accept();
    showStatus(window, QStringLiteral("Downloading %1...").arg(download->downloadFileName()));
}

void DownloadManager::progress(QWebEngineDownloadRequest *download, QWidget *window)
{
    const QLocale locale;
    const qint64 total = download->totalBytes();
    const QString received = locale.formattedDataSize(download->receivedBytes());
    QString text = total > 0 ? QStringLiteral("Downloading %1: %2 of %3 (%4%)")
                                   .arg(download->downloadFileName(), received, locale.formattedDataSize(total))
                                   .arg(download->receivedBytes() * 100 / total)
                             : QStringLiteral("Downloading %1: %2").arg(download->downloadFileName(), received);
    if (m_running > 1)
        text += QStringLiteral(", %1 downloads in all").arg(m_running);
    showStatus(window, text);
}

void DownloadManager::finished(QWebEngineDownloadRequest *download, QWidget *window)
{
    const QString path = QDir::toNativeSeparators(QDir(download->downloadDirectory()).filePath(download->downloadFileName()));
    if (download->state() == QWebEngineDownloadRequest::DownloadCompleted) {
        showStatus(window, QStringLiteral("Download complete: %1").arg(path));
        return;
    }
    const QString reason = download->state() == QWebEngineDownloadRequest::DownloadCancelled
                               ? QStringLiteral("it was cancelled")
                               : download->interruptReasonString();
    tell(window, QStringLiteral("%1 was not downloaded: %2.").arg(path, reason));
    showStatus(window, QStringLiteral("Download failed: %1").arg(path));
}
