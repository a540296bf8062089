// The yardstick for start-up and memory: one Qt WebEngine view on a page,
// nothing else. Ctrl+N opens one more view on the same page, as the browser
// does. The engine is set up as the browser sets it up (switches, scene), so
// the comparison measures what the browser adds, not how it tunes the engine.
// Usage: bare_view URL
#include "WebEngineHost.h"

#include <QApplication>
#include <QShortcut>
#include <QWebEngineView>

static QWebEngineView *openView(const QUrl &url)
{
    auto *view = new QWebEngineView;
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
