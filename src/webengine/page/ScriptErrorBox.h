#pragma once

#include <QMessageBox>

// Tells the user that a script on the page has an error: one box that does
// not block the window, to which later errors are added while it is open.
// Deletes itself when closed.
class ScriptErrorBox : public QMessageBox
{
    Q_OBJECT
public:
    ScriptErrorBox(const QString &message, int line, const QString &source, QWidget *parent);

    void addError(const QString &message, int line, const QString &source);
};
