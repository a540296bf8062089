#include "FavoriteDialog.h"

#include "common/Twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

FavoriteDialog::FavoriteDialog(const Shape &s, FavoritesModel *model)
    : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                           | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint)
    , m_model(model)
{
    setObjectName(QString::fromLatin1(s.objectName));
    setWindowTitle(QString::fromLatin1(s.caption));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setFixedSize(Twips::toPixels(s.clientWidth), Twips::toPixels(s.clientHeight));
    move(Twips::toPixels(2760), Twips::toPixels(3750));

    auto make = [](auto *w, const char *name, QRect r) {
        return Twips::place(w, name, r.x(), r.y(), r.width(), r.height());
    };
    const int lx = int(s.labelLeft), bx = int(s.boxLeft);
    make(new QLabel(QStringLiteral("URL:"), this), "lblURL", QRect(lx, 360, 1215, 255));
    m_url = make(new QLineEdit(this), "txtURL", QRect(bx, 360, 4335, 285));
    make(new QLabel(QStringLiteral("Name:"), this), "lblName", QRect(lx, 840, 1215, 255));
    m_name = make(new QLineEdit(this), "txtName", QRect(bx, 840, 4335, 285));
    m_url->setAccessibleName(QStringLiteral("URL"));
    m_url->setAccessibleDescription(QStringLiteral("The address of the favorite"));
    m_name->setAccessibleName(QStringLiteral("Name"));
    m_name->setAccessibleDescription(QStringLiteral("The name the favorites list shows"));
    m_action = make(new QPushButton(QString::fromLatin1(s.actionCaption), this), s.actionName,
                     QRect(int(s.actionLeft), 1440, 1215, 495));
    m_cancel = make(new QPushButton(QStringLiteral("Cancel"), this), "m_cancel",
                     QRect(int(s.cancelLeft), 1440, 1215, 495));
    // Enter in either box confirms, as in any dialog; Cancel never takes it.
    m_action->setAutoDefault(false);
    m_cancel->setAutoDefault(false);
    m_action->setDefault(true);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::close);
    Twips::fitToCaptions(this);
}

void FavoriteDialog::serve(QWidget *window)
{
    if (m_window == window)
        return;
    disconnect(m_windowGone);
    m_window = window;
    m_windowGone = connect(window, &QObject::destroyed, this, &QDialog::close);
}
