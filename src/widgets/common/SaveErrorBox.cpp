#include "SaveErrorBox.h"

#include <QMessageBox>

void showSaveError(QWidget *parent, const QString &error)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Kestrel"), error, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("SaveError"));
    // A path is the user's text, not markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
