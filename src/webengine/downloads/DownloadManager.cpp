#include "DownloadManager.h"

#include "DownloadQuestion.h"
#include "DownloadsWindow.h"
#include "UserActions.h"
#include "window/PageSite.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <algorithm>

#include <unistd.h>

namespace {

// The engine writes a download to its name plus this until it is complete.
constexpr QLatin1String kPartialSuffix(".download");
// The longest name most Linux file systems take, where the folder does not say.
constexpr long kNameMax = 255;

// Bytes a name may have in `folder`, leaving room for the partial file's suffix.
int nameRoom(const QString &folder)
{
    const long max = pathconf(QFile::encodeName(folder).constData(), _PC_NAME_MAX);
    return int((max > 0 ? max : kNameMax) - kPartialSuffix.size());
}

bool isTaken(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

QWidget *windowOf(const QWebEnginePage *page)
{
    QWebEngineView *view = page ? QWebEngineView::forPage(page) : nullptr;
    return view ? view->window() : nullptr;
}

// Who started a download, as the question names it and as its answer is kept.
QString siteOf(const QUrl &page)
{
    return page.host().isEmpty() ? QStringLiteral("This page") : page.host();
}

// Why a download broke off. The engine gives up on a connection that keeps
// breaking with "canceled by the user", which the user did not do.
QString interruption(const QWebEngineDownloadRequest &download)
{
    if (download.interruptReason() != QWebEngineDownloadRequest::UserCanceled)
        return download.interruptReasonString();
    const QLocale locale;
    return download.totalBytes() > 0
               ? QStringLiteral("the transfer broke off after %1 of %2")
                     .arg(locale.formattedDataSize(download.receivedBytes()),
                          locale.formattedDataSize(download.totalBytes()))
               : QStringLiteral("the transfer broke off");
}

QString chosenKey(const QWebEnginePage *page, const QUrl &url)
{
    return QString::number(quintptr(page)) + QLatin1Char(' ') + url.toString();
}

bool isUnderWay(DownloadManager::State state)
{
    return state == DownloadManager::State::Asking || state == DownloadManager::State::Running;
}

} // namespace

QString DownloadManager::Download::fileName() const
{
    return path.isEmpty() || state == State::Refused ? name : QFileInfo(path).fileName();
}

std::shared_ptr<DownloadNames> DownloadManager::makeNames()
{
    return std::make_shared<DownloadNames>(isTaken, kPartialSuffix);
}

DownloadManager::DownloadManager(QWebEngineProfile *profile, std::shared_ptr<DownloadNames> names,
                                 UserActions *actions)
    : QObject(profile)
    , m_names(std::move(names))
    , m_actions(actions)
{
    connect(profile, &QWebEngineProfile::downloadRequested, this, &DownloadManager::start);
}

DownloadManager::~DownloadManager()
{
    delete m_window;
}

void DownloadManager::userNavigated(QWebEnginePage *page, const QUrl &address)
{
    m_actions->navigated(page, address);
}

void DownloadManager::saveTo(const QWebEnginePage *page, const QUrl &url, const QString &path)
{
    m_chosenPaths.insert(chosenKey(page, url), path);
}

void DownloadManager::pageOpened(const QWebEnginePage *opener, QWebEnginePage *page)
{
    m_actions->opened(opener, page);
}

void DownloadManager::start(QWebEngineDownloadRequest *download)
{
    // The engine takes an interrupted download up again as a new request
    // of the same download, to go on where it broke off.
    const auto same = std::find_if(m_list.begin(), m_list.end(), [download](const Download &d) {
        return d.request && d.request != download && d.request->id() == download->id()
               && d.request->url() == download->url() && !d.request->isSavePageDownload();
    });
    if (same != m_list.end())
        return resume(int(same - m_list.begin()), download);

    Download d;
    d.request = download;
    d.page = download->page();

    // A page saved with Save As arrives accepted, under the name the user chose.
    if (download->state() != QWebEngineDownloadRequest::DownloadRequested) {
        d.name = download->downloadFileName();
        d.path = QDir(download->downloadDirectory()).filePath(d.name);
        m_list << d;
        follow(int(m_list.size() - 1));
        return;
    }
    d.path = m_chosenPaths.take(chosenKey(d.page, download->url()));
    if (!d.path.isEmpty()) {
        // The user's dialog already asked before replacing the file; the
        // engine would number the name instead.
        QFile::remove(d.path);
        d.name = QFileInfo(d.path).fileName();
        download->setDownloadDirectory(QFileInfo(d.path).absolutePath());
        download->setDownloadFileName(d.name);
        download->accept();
        m_list << d;
        follow(int(m_list.size() - 1));
        return;
    }

    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    const QString suggested = download->suggestedFileName();
    d.name = DownloadName::clean(suggested.isEmpty() ? download->downloadFileName() : suggested, nameRoom(folder));
    // A window that a click opened for a file shows no page of its own.
    const QUrl pageAddress = d.page && !d.page->url().isEmpty() ? d.page->url() : download->url();
    const QString origin = PageSite::originOf(pageAddress);
    QWidget *window = windowOf(d.page);

    // A download the user asked for starts; one the page started on its own
    // waits for the user's answer, unless the site has one already.
    const bool asked = m_actions->take(d.page, download->url());
    const auto answer = m_answers.constFind(origin);
    if (!asked && answer != m_answers.constEnd() && !*answer)
        return refuse(download, d, QStringLiteral("you denied this site's downloads"));
    const bool mustAsk = !asked && answer == m_answers.constEnd();
    if (mustAsk) {
        if (!window)
            return refuse(download, d, QStringLiteral("its window is gone"));
        if (const DownloadQuestion *question = m_questions.value(window)) {
            if (question->origin() != origin)
                return refuse(download, d, QStringLiteral("another site's downloads wait for your answer"));
            if (question->isFull())
                return refuse(download, d, QStringLiteral("too many downloads wait for your answer"));
        }
    }

    const QString shownFolder = QDir::toNativeSeparators(folder);
    if (!QDir().mkpath(folder))
        return refuse(download, d, QStringLiteral("the folder %1 cannot be made").arg(shownFolder));
    const int room = nameRoom(folder);
    d.path = m_names->reserve(folder, d.name, room);
    // Until the user answers, the file has a name that claims nothing. The
    // engine cannot hold a download back for long: a server that has sent
    // it all and closed would leave it broken.
    if (mustAsk && !d.path.isEmpty()) {
        d.staging = m_names->reserve(folder, QStringLiteral("Unconfirmed %1").arg(download->id()), room);
        d.state = State::Asking;
    }
    if (d.path.isEmpty() || (mustAsk && d.staging.isEmpty())) {
        m_names->release(d.path);
        return refuse(download, d, QStringLiteral("every name like it is taken in %1").arg(shownFolder));
    }
    download->setDownloadDirectory(folder);
    download->setDownloadFileName(QFileInfo(mustAsk ? d.staging : d.path).fileName());
    download->accept();
    m_list << d;
    const int index = int(m_list.size() - 1);
    follow(index);
    if (mustAsk)
        ask(index, window, siteOf(pageAddress), origin);
}

void DownloadManager::resume(int index, QWebEngineDownloadRequest *download)
{
    Download &d = m_list[index];
    if (!isUnderWay(d.state)) {
        download->cancel();
        return;
    }
    const QFileInfo written(d.staging.isEmpty() ? d.path : d.staging);
    download->setDownloadDirectory(written.path());
    download->setDownloadFileName(written.fileName());
    download->accept();
    d.request->disconnect(this);
    d.request = download;
    follow(index, false);
}

void DownloadManager::ask(int index, QWidget *window, const QString &site, const QString &origin)
{
    showStatus(index, QStringLiteral("Download waiting for your answer: %1").arg(m_list[index].name));
    if (DownloadQuestion *question = m_questions.value(window)) {
        question->join(index);
        return;
    }
    auto *question = new DownloadQuestion(window, origin, site, m_list[index].name, index, this);
    m_questions.insert(window, question);
    connect(question, &DownloadQuestion::answered, this,
            [this, question](DownloadQuestion::Answer answer) { answered(question, answer); });
}

void DownloadManager::answered(DownloadQuestion *question, DownloadQuestion::Answer answer)
{
    if (m_questions.value(question->window()) == question)
        m_questions.remove(question->window());
    if (answer != DownloadQuestion::Answer::WindowGone)
        m_answers.insert(question->origin(), answer == DownloadQuestion::Answer::Allow);
    for (int index : question->entries()) {
        Download &d = m_list[index];
        if (d.state != State::Asking)
            continue;
        if (answer != DownloadQuestion::Answer::Allow) {
            end(index, State::Refused, answer == DownloadQuestion::Answer::Deny ? QStringLiteral("you denied it")
                                                                                : QStringLiteral("its window is gone"));
            continue;
        }
        d.state = State::Running;
        if (d.staged) {
            place(index);
            continue;
        }
        showStatus(index, QStringLiteral("Downloading %1...").arg(d.fileName()));
        emit changed(index);
    }
}

void DownloadManager::refuse(QWebEngineDownloadRequest *download, const Download &d, const QString &why)
{
    download->cancel();
    if (d.page)
        emit statusChanged(d.page, QStringLiteral("Download refused: %1: %2").arg(d.name, why));
}

void DownloadManager::follow(int index, bool fresh)
{
    QWebEngineDownloadRequest *download = m_list[index].request;
    connect(download, &QWebEngineDownloadRequest::receivedBytesChanged, this, [this, index] { progress(index); });
    connect(download, &QWebEngineDownloadRequest::stateChanged, this, [this, index] { stateChanged(index); });
    if (fresh)
        emit added(index);
    if (m_list[index].state == State::Running)
        showStatus(index, QStringLiteral("Downloading %1...").arg(m_list[index].fileName()));
}

void DownloadManager::progress(int index)
{
    Download &d = m_list[index];
    if (!d.request || d.state != State::Running)
        return;
    d.received = d.request->receivedBytes();
    d.total = d.request->totalBytes();
    emit changed(index);

    const QLocale locale;
    const QString received = locale.formattedDataSize(d.received);
    QString text = d.total > 0 ? QStringLiteral("Downloading %1: %2 of %3 (%4%)")
                                     .arg(d.fileName(), received, locale.formattedDataSize(d.total),
                                          QString::number(d.received * 100 / d.total))
                               : QStringLiteral("Downloading %1: %2").arg(d.fileName(), received);
    if (const int all = running(); all > 1)
        text += QStringLiteral(", %1 downloads in all").arg(all);
    showStatus(index, text);
}

void DownloadManager::stateChanged(int index)
{
    Download &d = m_list[index];
    if (!d.request)
        return;
    if (!isUnderWay(d.state)) {
        // The engine may take an interrupted download up again on its own;
        // once reported as ended, it stays ended.
        if (d.request->state() == QWebEngineDownloadRequest::DownloadInProgress)
            d.request->cancel();
        return;
    }
    switch (d.request->state()) {
    case QWebEngineDownloadRequest::DownloadCompleted:
        d.received = d.request->receivedBytes();
        d.staged = !d.staging.isEmpty();
        if (d.state == State::Asking)
            emit changed(index);
        else if (d.staged)
            place(index);
        else
            end(index, State::Complete);
        break;
    case QWebEngineDownloadRequest::DownloadCancelled:
        end(index, State::Cancelled);
        break;
    case QWebEngineDownloadRequest::DownloadInterrupted:
        end(index, State::Failed, interruption(*d.request));
        break;
    case QWebEngineDownloadRequest::DownloadRequested:
    case QWebEngineDownloadRequest::DownloadInProgress:
        break;
    }
}

void DownloadManager::place(int index)
{
    Download &d = m_list[index];
    QFile staged(d.staging);
    // Never over a file that came meanwhile: the rename refuses, and the
    // next free number is tried.
    while (!staged.rename(d.path)) {
        const QString taken = d.path;
        const QString folder = QFileInfo(taken).path();
        d.path = QFileInfo::exists(taken) ? m_names->reserve(folder, d.name, nameRoom(folder)) : QString();
        m_names->release(taken);
        if (d.path.isEmpty())
            return end(index, State::Failed, staged.errorString());
    }
    end(index, State::Complete);
}

void DownloadManager::end(int index, State state, const QString &reason)
{
    Download &d = m_list[index];
    d.state = state;
    d.reason = reason;
    if (state != State::Complete) {
        // What was written goes; an interrupted download keeps its partial
        // file for a resume that will not come.
        if (d.request)
            d.request->cancel();
        const QString written = d.staging.isEmpty() ? d.path : d.staging;
        QFile::remove(written + kPartialSuffix);
        if (d.staged)
            QFile::remove(d.staging);
    }
    m_names->release(d.path);
    m_names->release(d.staging);
    const QString path = QDir::toNativeSeparators(d.path);
    switch (state) {
    case State::Complete: showStatus(index, QStringLiteral("Download complete: %1").arg(path)); break;
    case State::Failed: showStatus(index, QStringLiteral("Download failed: %1: %2").arg(path, reason)); break;
    case State::Cancelled: showStatus(index, QStringLiteral("Download cancelled: %1").arg(path)); break;
    case State::Refused: showStatus(index, QStringLiteral("Download refused: %1: %2").arg(d.name, reason)); break;
    case State::Asking:
    case State::Running: break;
    }
    emit changed(index);
    // A failure with nobody left to tell in the status bar is told in the list.
    if (state == State::Failed && !windowOf(d.page))
        showWindow();
}

void DownloadManager::showStatus(int index, const QString &text)
{
    if (const QWebEnginePage *page = m_list[index].page)
        emit statusChanged(page, text);
}

int DownloadManager::running() const
{
    return int(std::count_if(m_list.begin(), m_list.end(), [](const Download &d) { return isUnderWay(d.state); }));
}

void DownloadManager::cancel(int index)
{
    if (index >= 0 && index < m_list.size() && isUnderWay(m_list[index].state))
        end(index, State::Cancelled);
}

void DownloadManager::cancelAll()
{
    for (int i = 0; i < m_list.size(); ++i)
        cancel(i);
}

void DownloadManager::showWindow()
{
    if (!m_window) {
        m_window = new DownloadsWindow(this);
        if (static_cast<QWebEngineProfile *>(parent())->isOffTheRecord())
            m_window->setWindowTitle(QStringLiteral("Private Downloads"));
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}
