#pragma once

#include <QDialog>
#include <QPointer>

#include "browser/frmMain.h"

class QLabel;
class QLineEdit;
class QPushButton;
class frmMain;

// What the add and edit dialogs share: two labelled boxes, two buttons, a
// fixed place on the screen and the main window they serve. When that
// window closes, the dialog closes with it and stores nothing.
class FavoriteDialog : public QDialog
{
    Q_OBJECT
public:
    struct Shape
    {
        const char *objectName;
        const char *caption;
        double clientWidth, clientHeight;
        double labelLeft, boxLeft;
        double actionLeft, cancelLeft;
        const char *actionName, *actionCaption;
    };

    QLabel *lblURL;
    QLineEdit *txtURL;
    QLabel *lblName;
    QLineEdit *txtName;
    QPushButton *cmdAction;
    QPushButton *cmdCancel;

    frmMain *source() const { return m_source; }

protected:
    explicit FavoriteDialog(const Shape &shape);
    void serve(frmMain *window);

private:
    QPointer<frmMain> m_source;
    QMetaObject::Connection m_sourceGone;
};
