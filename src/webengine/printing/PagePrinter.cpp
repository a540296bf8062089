#include "PagePrinter.h"

#include <QEventLoop>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QWebEngineView>

PagePrinter::PagePrinter(QWebEngineView *view, QWidget *dialogParent, QObject *parent)
    : QObject(parent), m_view(view), m_dialogParent(dialogParent)
{
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
    QPrintDialog dialog(printer(), m_dialogParent);
    if (dialog.exec() == QDialog::Accepted)
        m_view->print(printer());
}

void PagePrinter::preview()
{
    QPrintPreviewDialog preview(printer(), m_dialogParent);
    preview.setObjectName(QStringLiteral("PrintPreview"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, &PagePrinter::printAndWait);
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
