#pragma once

#include <QString>

class QWidget;

// Tells the user that something they did was not saved: the sentence names
// the file and the reason. Waits for the user's OK.
void showSaveError(QWidget *parent, const QString &error);
