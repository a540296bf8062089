#include "MessageBoxes.h"

void showSaveError(QWidget *parent, const QString &error)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Kestrel"), error, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("SaveError"));
    // A path is the user's text, not markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

QMessageBox *newMessageBox(QWidget *owner, QMessageBox::Icon icon, const QString &title, const QString &text,
                           const QString &objectName, QMessageBox::StandardButtons buttons)
{
    auto *box = new QMessageBox(icon, title, text, buttons, owner);
    box->setObjectName(objectName);
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    return box;
}
