#pragma once

#include <QDialog>
#include <QPointer>

class FavoritesModel;
class QLineEdit;
class QPushButton;

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

protected:
    FavoriteDialog(const Shape &shape, FavoritesModel *model);
    void serve(QWidget *window);
    QWidget *servedWindow() const { return m_window; }

    FavoritesModel *m_model;
    QLineEdit *m_url;
    QLineEdit *m_name;
    QPushButton *m_action;
    QPushButton *m_cancel;

private:
    QPointer<QWidget> m_window;
    QMetaObject::Connection m_windowGone;
};
