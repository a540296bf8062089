#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

// Tells the user that something they did was not saved: the sentence names
// the file and the reason. Waits for the user's OK.
void showSaveError(QWidget *parent, const QString &error);

// A message box that waits for the user without holding the window: its
// text stays plain text (a path or a page's words are not markup), and it
// goes when closed. Not yet shown, so buttons can be added.
QMessageBox *newMessageBox(QWidget *owner, QMessageBox::Icon icon, const QString &title, const QString &text,
                           const QString &objectName, QMessageBox::StandardButtons buttons = QMessageBox::Ok);
