#include "PageProperties.h"

#include "common/MessageBoxes.h"

#include <QPointer>
#include <QUrl>
#include <QWebEnginePage>

namespace {

// A page's title can be any length; the box should fit on the screen.
constexpr int kLongestTitle = 200;

// Asked of the page's own document: the engine's page tells neither its
// type nor its size.
const char kTypeAndSizeScript[] =
    "(function(){var n=performance.getEntriesByType('navigation')[0];"
    "return [document.contentType||'', n&&n.decodedBodySize?n.decodedBodySize:-1];})()";

QString shortTitle(const QString &title)
{
    const QString oneLine = title.simplified();
    if (oneLine.size() <= kLongestTitle)
        return oneLine;
    return oneLine.left(kLongestTitle) + QChar(u'\u2026');
}

QString propertiesText(const QUrl &url, const QString &title, const QString &type, qlonglong size)
{
    const QString notAvailable = QStringLiteral("Not available");
    return QStringLiteral("Address:\t%1\nProtocol:\t%2\nTitle:\t%3\nType:\t%4\nSize:\t%5")
        .arg(url.toString(), url.scheme(), shortTitle(title), type.isEmpty() ? notAvailable : type,
             size > 0 ? QStringLiteral("%1 bytes").arg(size) : notAvailable);
}

void showBox(QWidget *owner, const QString &text)
{
    // Properties is where the user learns the real address, so it comes first
    // and everything is plain text: a title cannot add lines of its own.
    newMessageBox(owner, QMessageBox::NoIcon, QStringLiteral("Properties"), text, QStringLiteral("PropertiesBox"))
        ->show();
}

} // namespace

void showPageProperties(QWebEnginePage *page, QWidget *owner)
{
    // Taken now: the page may move on before it answers.
    const QString title = page->title();
    const QUrl url = page->url();
    QPointer<QWidget> alive = owner;
    page->runJavaScript(QLatin1String(kTypeAndSizeScript), [alive, title, url](const QVariant &answer) {
        if (!alive)
            return;
        const QVariantList typeAndSize = answer.toList();
        showBox(alive, propertiesText(url, title, typeAndSize.value(0).toString(), typeAndSize.value(1).toLongLong()));
    });
}
