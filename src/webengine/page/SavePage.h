#pragma once

#include <QString>

#include <functional>

class QWebEnginePage;
class QWidget;

// File > Save As: asks where to save the page, offering the Downloads folder
// and a name made from the page's title, as a complete web page or as one
// archive file. The engine then writes it as a download.
void savePageAs(QWebEnginePage *page, QWidget *dialogParent, const std::function<void(const QString &)> &savePdf);
