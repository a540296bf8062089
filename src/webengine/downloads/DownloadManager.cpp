#include "DownloadManager.h"

#include "common/MessageBoxes.h"

#include <QDir>
#include <QFile>
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

// A message that waits for the user without stopping the window.
void tell(QWidget *window, const QString &text)
{
    newMessageBox(window, QMessageBox::Warning, QStringLiteral("Download"), text, QStringLiteral("DownloadMessage"))
        ->show();
}

} // namespace

DownloadManager::DownloadManager(QWebEngineProfile *profile)
    : QObject(profile)
{
    connect(profile, &QWebEngineProfile::downloadRequested, this, &DownloadManager::start);
}

namespace {
QString chosenKey(const QWebEnginePage *page, const QUrl &url)
{
    return QString::number(quintptr(page)) + QLatin1Char(' ') + url.toString();
}
} // namespace

void DownloadManager::saveTo(const QWebEnginePage *page, const QUrl &url, const QString &path)
{
    m_chosenPaths.insert(chosenKey(page, url), path);
}

void DownloadManager::start(QWebEngineDownloadRequest *download)
{
    QPointer<QWidget> window;
    if (QWebEngineView *view = download->page() ? QWebEngineView::forPage(download->page()) : nullptr)
        window = view->window();
    const QPointer<QWebEnginePage> page = download->page();

    // A page saved with Save As arrives accepted, under the name the user chose.
    const bool named = download->state() != QWebEngineDownloadRequest::DownloadRequested;
    const QString chosen = named ? QString() : m_chosenPaths.take(chosenKey(download->page(), download->url()));
    if (!chosen.isEmpty()) {
        // The user's dialog already asked before replacing the file; the
        // engine would number the name instead.
        QFile::remove(chosen);
        download->setDownloadDirectory(QFileInfo(chosen).absolutePath());
        download->setDownloadFileName(QFileInfo(chosen).fileName());
    } else if (!named) {
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
            [this, download, page] { progress(download, page); });
    connect(download, &QWebEngineDownloadRequest::isFinishedChanged, this,
            [this, download, window, page, keepRunning] {
                --m_running;
                finished(download, window, page);
                delete keepRunning;
            });
    if (!named)
        download->accept();
    showStatus(page, QStringLiteral("Downloading %1...").arg(download->downloadFileName()));
}

void DownloadManager::showStatus(const QPointer<QWebEnginePage> &page, const QString &text)
{
    if (page)
        emit statusChanged(page, text);
}

void DownloadManager::progress(QWebEngineDownloadRequest *download, const QPointer<QWebEnginePage> &page)
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
    showStatus(page, text);
}

void DownloadManager::finished(QWebEngineDownloadRequest *download, QWidget *window,
                               const QPointer<QWebEnginePage> &page)
{
    const QString path = QDir::toNativeSeparators(QDir(download->downloadDirectory()).filePath(download->downloadFileName()));
    if (download->state() == QWebEngineDownloadRequest::DownloadCompleted) {
        showStatus(page, QStringLiteral("Download complete: %1").arg(path));
        return;
    }
    const QString reason = download->state() == QWebEngineDownloadRequest::DownloadCancelled
                               ? QStringLiteral("it was cancelled")
                               : download->interruptReasonString();
    tell(window, QStringLiteral("%1 was not downloaded: %2.").arg(path, reason));
    showStatus(page, QStringLiteral("Download failed: %1").arg(path));
}
