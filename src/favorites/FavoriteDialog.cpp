#include "FavoriteDialog.h"

#include "browser/Twips.h"
#include "browser/frmMain.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

FavoriteDialog::FavoriteDialog(const Shape &s)
    : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                           | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint)
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
    lblURL = make(new QLabel(QStringLiteral("URL:"), this), "lblURL", QRect(lx, 360, 1215, 255));
    txtURL = make(new QLineEdit(this), "txtURL", QRect(bx, 360, 4335, 285));
    lblName = make(new QLabel(QStringLiteral("Name:"), this), "lblName", QRect(lx, 840, 1215, 255));
    txtName = make(new QLineEdit(this), "txtName", QRect(bx, 840, 4335, 285));
    cmdAction = make(new QPushButton(QString::fromLatin1(s.actionCaption), this), s.actionName,
                     QRect(int(s.actionLeft), 1440, 1215, 495));
    cmdCancel = make(new QPushButton(QStringLiteral("Cancel"), this), "cmdCancel",
                     QRect(int(s.cancelLeft), 1440, 1215, 495));
    // Enter in either box confirms, as in any dialog; Cancel never takes it.
    cmdAction->setAutoDefault(false);
    cmdCancel->setAutoDefault(false);
    cmdAction->setDefault(true);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::close);
    Twips::fitToCaptions(this);
}

void FavoriteDialog::serve(frmMain *window)
{
    if (m_source == window)
        return;
    disconnect(m_sourceGone);
    m_source = window;
    m_sourceGone = connect(window, &QObject::destroyed, this, &QDialog::close);
}
