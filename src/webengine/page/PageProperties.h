#pragma once

class QWebEnginePage;
class QWidget;

// File > Properties: a box with the page's address, protocol, title, type
// and size. It does not block the window and closes itself when dismissed.
void showPageProperties(QWebEnginePage *page, QWidget *owner);
