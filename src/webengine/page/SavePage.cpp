#include "SavePage.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>

namespace {

// A title may hold characters no file name may, on this system or another
// the file is carried to.
QString fileNameFor(const QString &title)
{
    QString name = title.trimmed();
    name.replace(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|]")), QStringLiteral("_"));
    return name.isEmpty() ? QStringLiteral("page") : name;
}

} // namespace

void savePageAs(QWebEnginePage *page, QWidget *dialogParent, const std::function<void(const QString &)> &savePdf)
{
    const QString complete = QStringLiteral("Web Page, complete (*.htm *.html)");
    const QString single = QStringLiteral("Web Archive, single file (*.mhtml)");
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (savePdf) {
        // A PDF in the viewer is saved as the document it is.
        const QString name = fileNameFor(QFileInfo(page->url().path()).fileName());
        const QString path = QFileDialog::getSaveFileName(dialogParent, QStringLiteral("Save As"),
                                                          folder + QLatin1Char('/') + name,
                                                          QStringLiteral("PDF Document (*.pdf)"));
        if (!path.isEmpty())
            savePdf(path);
        return;
    }
    QString chosenFilter;
    const QString path = QFileDialog::getSaveFileName(
        dialogParent, QStringLiteral("Save As"),
        folder + QLatin1Char('/') + fileNameFor(page->title()) + QStringLiteral(".html"),
        complete + QStringLiteral(";;") + single, &chosenFilter);
    if (path.isEmpty())
        return;
    page->save(path, chosenFilter == single ? QWebEngineDownloadRequest::MimeHtmlSaveFormat
                                            : QWebEngineDownloadRequest::CompleteHtmlSaveFormat);
}
