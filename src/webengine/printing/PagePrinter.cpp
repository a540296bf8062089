#include "PagePrinter.h"

#include <QChildEvent>
#include <QDir>
#include <QEventLoop>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScopedValueRollback>
#include <QWebEnginePage>
#include <QWebEngineView>

PagePrinter::PagePrinter(QWebEngineView *view, QWidget *dialogParent, QObject *parent)
    : QObject(parent), m_view(view), m_dialogParent(dialogParent)
{
    // The page's input arrives at a widget the engine puts inside the view,
    // and makes anew when the page's process is replaced.
    m_view->installEventFilter(this);
    for (QWidget *child : m_view->findChildren<QWidget *>())
        child->installEventFilter(this);
    // Queued: the dialog's own loop does not run inside the engine's call.
    connect(m_view->page(), &QWebEnginePage::printRequested, this, &PagePrinter::printForPage, Qt::QueuedConnection);
    connect(m_view->page(), &QWebEnginePage::pdfPrintingFinished, this, [this](const QString &file, bool ok) {
        const QString name = QDir::toNativeSeparators(file);
        emit statusChanged(ok ? QStringLiteral("Printed to %1").arg(name)
                              : QStringLiteral("Printing to %1 failed").arg(name));
    });
}

PagePrinter::~PagePrinter() = default;

QPrinter *PagePrinter::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return m_printer.get();
}

void PagePrinter::pageSetup()
{
    QPageSetupDialog dialog(printer(), m_dialogParent);
    dialog.exec();
}

void PagePrinter::print()
{
    if (m_dialogOpen)
        return;
    QPrintDialog dialog(printer(), m_dialogParent);
    dialog.setObjectName(QStringLiteral("PrintDialog"));
    {
        const QScopedValueRollback<bool> open(m_dialogOpen, true);
        if (dialog.exec() != QDialog::Accepted)
            return;
    }
    QPrinter *target = printer();
    const bool toFile = target->outputFormat() == QPrinter::PdfFormat && !target->outputFileName().isEmpty();
    if (toFile && m_savePdf) {
        // The engine's PDF viewer prints blank sheets; the document itself
        // is the PDF asked for, its text intact.
        m_savePdf(target->outputFileName());
        return;
    }
    if (toFile) {
        // The engine writes the page as a PDF of its own, text and all, where
        // printing through the printer would draw each sheet as a picture.
        m_view->page()->printToPdf(target->outputFileName(), target->pageLayout(), target->pageRanges());
        emit statusChanged(QStringLiteral("Printing to %1...").arg(QDir::toNativeSeparators(target->outputFileName())));
        return;
    }
    emit statusChanged(QStringLiteral("Printing..."));
    auto done = std::make_shared<QMetaObject::Connection>();
    *done = connect(m_view, &QWebEngineView::printFinished, this, [this, done](bool ok) {
        disconnect(*done);
        emit statusChanged(ok ? QStringLiteral("Printed") : QStringLiteral("Printing failed"));
    });
    m_view->print(target);
}

void PagePrinter::printForPage()
{
    if (m_dialogOpen || m_userActions == m_actionsSpent) {
        emit statusChanged(QStringLiteral("The page's request to print was refused: it may ask once for each click "
                                          "or key you give it"));
        return;
    }
    m_actionsSpent = m_userActions;
    print();
}

void PagePrinter::preview()
{
    QPrintPreviewDialog preview(printer(), m_dialogParent);
    preview.setObjectName(QStringLiteral("PrintPreview"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, &PagePrinter::printAndWait);
    const QScopedValueRollback<bool> open(m_dialogOpen, true);
    preview.exec();
}

void PagePrinter::printAndWait(QPrinter *target)
{
    // The preview draws what is on the printer when this returns, and the
    // engine prints in the background.
    QEventLoop wait;
    connect(m_view, &QWebEngineView::printFinished, &wait, &QEventLoop::quit);
    m_view->print(target);
    wait.exec();
}

bool PagePrinter::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ChildAdded:
        if (QObject *child = static_cast<QChildEvent *>(event)->child(); child->isWidgetType())
            child->installEventFilter(this);
        break;
    case QEvent::MouseButtonPress:
    case QEvent::KeyPress:
        if (watched != m_view)
            ++m_userActions;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
