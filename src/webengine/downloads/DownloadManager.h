#pragma once

#include "DownloadQuestion.h"
#include "downloads/DownloadNames.h"
#include "window/DownloadList.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QWebEnginePage>

#include <memory>

class DownloadsWindow;
class QWebEngineDownloadRequest;
class QWebEngineProfile;
class UserActions;

// Takes every download of a profile. The file goes to the user's Downloads
// folder under the name the server suggests, cleaned, and taken for it as
// the download starts, so no two downloads ever share a file. A download the
// user did not ask for with a click, a key or an address is written under a
// staging name ("Unconfirmed 7") and gets its own name only once the user
// allows it in answer to its window's question. Each one ends in words: its
// page's view hears of the progress and the end through statusChanged, and
// the Downloads window lists every download of the run.
class DownloadManager : public QObject, public DownloadList
{
    Q_OBJECT
public:
    enum class State { Asking, Running, Complete, Failed, Cancelled, Refused };
    struct Download
    {
        QPointer<QWebEngineDownloadRequest> request;
        QPointer<QWebEnginePage> page; // the page that started it
        QString name; // as saved, or as it would have been
        QString path; // empty until a name is taken for it
        // Where the engine writes a download the user has not yet allowed,
        // and whether all of it is there.
        QString staging;
        bool staged = false;
        State state = State::Running;
        QString reason; // why it failed
        qint64 received = 0;
        qint64 total = -1; // unknown

        // The name it has or will have on disk.
        QString fileName() const;
    };

    // Managers that save to the same folders share `names`, so that two
    // profiles' downloads of one name never meet in one file; and one watch
    // of the user's input, which the application hands every event.
    DownloadManager(QWebEngineProfile *profile, std::shared_ptr<DownloadNames> names, UserActions *actions);
    static std::shared_ptr<DownloadNames> makeNames();
    ~DownloadManager() override;

    // The user gave `page` this address to load.
    void userNavigated(QWebEnginePage *page, const QUrl &address);
    // The next download of `url` that `page` starts is a file the user chose
    // (a PDF saved or printed to a file): it goes to `path`, not to Downloads.
    void saveTo(const QWebEnginePage *page, const QUrl &url, const QString &path);
    // `opener` opened `page` as its new window.
    void pageOpened(const QWebEnginePage *opener, QWebEnginePage *page);

    const QList<Download> &list() const { return m_list; }
    // The user's Cancel for download `index`.
    void cancel(int index);

    int running() const override;
    void cancelAll() override;
    void showWindow() override;

signals:
    // A status line about a download that `page` started.
    void statusChanged(const QWebEnginePage *page, const QString &text);
    void added(int index);
    void changed(int index);

private:
    void start(QWebEngineDownloadRequest *download);
    void ask(int index, QWidget *window, const QString &site, const QString &origin);
    void answered(DownloadQuestion *question, DownloadQuestion::Answer answer);
    void follow(int index, bool fresh = true);
    // Lets the engine take up download `index` again through `download`.
    void resume(int index, QWebEngineDownloadRequest *download);
    void progress(int index);
    void stateChanged(int index);
    // Moves an allowed download from its staging name to its own.
    void place(int index);
    // Ends download `index` in `state`, with `reason` when it failed.
    void end(int index, State state, const QString &reason = QString());
    // Turns a download down before it starts, saying why in its page's status bar.
    void refuse(QWebEngineDownloadRequest *download, const Download &d, const QString &why);
    void showStatus(int index, const QString &text);

    QList<Download> m_list;
    std::shared_ptr<DownloadNames> m_names;
    UserActions *m_actions;
    // Questions up, one per window; and the user's answers, by site.
    QHash<QWidget *, DownloadQuestion *> m_questions;
    QHash<QString, bool> m_answers;
    QHash<QString, QString> m_chosenPaths; // by page and address
    QPointer<DownloadsWindow> m_window;
};
