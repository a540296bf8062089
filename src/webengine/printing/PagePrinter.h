#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QPrinter;
class QWebEngineView;
class QWidget;

// Page Setup, Print and Print Preview for one view's page. The three share
// one printer, so the paper and margins chosen in Page Setup are the ones
// printed and previewed, for as long as the window is open.
//
// A page's own print button (window.print()) opens the print dialog once
// for each click or key the user gave the page: a page that asks again and
// again is refused until the user acts in it again.
class PagePrinter : public QObject
{
    Q_OBJECT
public:
    // The dialogs open over `dialogParent`.
    PagePrinter(QWebEngineView *view, QWidget *dialogParent, QObject *parent);

    // While the page shows a PDF in the engine's viewer: writes the document
    // to a file. Empty for other pages.
    void setPdfSaver(std::function<void(const QString &path)> save) { m_savePdf = std::move(save); }
    ~PagePrinter() override;

    void pageSetup();
    void print();
    void preview();

signals:
    // How printing went, for the window's status bar.
    void statusChanged(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPrinter *printer();
    void printAndWait(QPrinter *target);
    void printForPage();

    QWebEngineView *m_view;
    QWidget *m_dialogParent;
    std::unique_ptr<QPrinter> m_printer;
    bool m_dialogOpen = false;
    std::function<void(const QString &path)> m_savePdf;
    quint64 m_userActions = 0;  // clicks and keys the user gave the page
    quint64 m_actionsSpent = 0; // the count when the page last printed
};
