// The yardstick for start-up and memory: one Qt WebEngine view on a page,
// nothing else. Ctrl+N opens one more view on the same page, as the browser
// does. The engine is set up as the browser sets it up (switches, scene), so
// the comparison measures what the browser adds, not how it tunes the engine.
// Its profile is made as the browser makes its own: kept on disk (cookies,
// site data, the HTTP cache) with the same settings and spelling, so that
// what a disk cache costs a page of many parts is not charged to the browser.
// Usage: bare_view URL
#include "WebEngineHost.h"
#include "profile/Spelling.h"

#include <QApplication>
#include <QShortcut>
#include <QStandardPaths>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

static QWebEngineProfile *profile()
{
    static QWebEngineProfile *made = [] {
        auto *p = new QWebEngineProfile(QStringLiteral("BareView"), qApp);
        const QString folder = QStringLiteral("/bare-view");
        p->setPersistentStoragePath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + folder);
        p->setCachePath(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + folder);
        QWebEngineSettings *s = p->settings();
        s->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, true);
        s->setAttribute(QWebEngineSettings::PluginsEnabled, true);
        s->setAttribute(QWebEngineSettings::PdfViewerEnabled, true);
        s->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);
        s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
        enableSpelling(p);
        return p;
    }();
    return made;
}

static QWebEngineView *openView(const QUrl &url)
{
    auto *view = new QWebEngineView;
    view->setPage(new QWebEnginePage(profile(), view));
    view->setAttribute(Qt::WA_DeleteOnClose);
    // The size of the browser's view at its design size, for a fair match.
    view->resize(778, 850);
    QObject::connect(view, &QWebEngineView::titleChanged, view, &QWidget::setWindowTitle);
    auto *again = new QShortcut(QKeySequence(QStringLiteral("Ctrl+N")), view);
    QObject::connect(again, &QShortcut::activated, view, [view] { openView(view->url()); });
    view->load(url);
    view->show();
    return view;
}

int main(int argc, char **argv)
{
    WebEngineHost::prepareEngine(argc, argv);
    QApplication app(argc, argv);
    openView(QUrl::fromUserInput(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("about:blank")));
    return app.exec();
}
