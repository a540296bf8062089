#pragma once

#include <QObject>

#include <memory>

class QPrinter;
class QWebEngineView;
class QWidget;

// Page Setup, Print and Print Preview for one view's page. The three share
// one printer, so the paper and margins chosen in Page Setup are the ones
// printed and previewed, for as long as the window is open.
class PagePrinter : public QObject
{
    Q_OBJECT
public:
    // The dialogs open over `dialogParent`.
    PagePrinter(QWebEngineView *view, QWidget *dialogParent, QObject *parent);
    ~PagePrinter() override;

    void pageSetup();
    void print();
    void preview();

private:
    QPrinter *printer();
    void printAndWait(QPrinter *target);

    QWebEngineView *m_view;
    QWidget *m_dialogParent;
    std::unique_ptr<QPrinter> m_printer;
};
