#include "AboutDialog.h"

#include "common/Twips.h"

#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace {
QFrame *rule(QWidget *parent, const char *name, const QColor &colour, double x1, double y, double x2, int px)
{
    auto *line = new QFrame(parent);
    line->setObjectName(QString::fromLatin1(name));
    line->setGeometry(Twips::toPixels(x1), Twips::toPixels(y), Twips::toPixels(x2 - x1), px);
    line->setAutoFillBackground(true);
    QPalette pal = line->palette();
    pal.setColor(QPalette::Window, colour);
    line->setPalette(pal);
    return line;
}

QLabel *label(QWidget *parent, const char *name, const QString &text, double l, double t, double w, double h)
{
    auto *lbl = Twips::place(new QLabel(text, parent), name, l, t, w, h);
    lbl->setWordWrap(true);
    lbl->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return lbl;
}
} // namespace

const char *const AboutDialog::kNotice =
    "I give Kestrel away as freeware. You run it at your own risk: I am not responsible for "
    "any damage this program does to your computer, your files or your data.";

// The dash and the name are held together, so a wrap never parts them.
const char *const AboutDialog::kQuotation =
    "\"What information consumes is rather obvious: it consumes the attention of its recipients. "
    "Hence a wealth of information creates a poverty of attention.\"      \u2011\u00a0Herbert\u00a0A.\u00a0Simon";

AboutDialog::AboutDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                           | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Kestrel"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(Twips::toPixels(5730), Twips::toPixels(3555));
    move(Twips::toPixels(2340), Twips::toPixels(1935));

    auto *picLogo = label(this, "picLogo", QString(), 240, 240, 480, 480);
    auto *lblTitle = label(this, "lblTitle", QStringLiteral("Kestrel"), 1290, 240, 3645, 480);
    QFont big = lblTitle->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    lblTitle->setFont(big);
    auto *lblVersion = label(this, "lblVersion", QStringLiteral("Version 1.0.0"), 1290, 780, 3645, 225);
    auto *lblDescription = label(this, "lblDescription", QString::fromUtf8(kNotice), 1320, 1125, 3645, 1170);
    rule(this, "Line1_1", QColor(128, 128, 128), 90, 2445, 5654, 1);
    rule(this, "Line1_0", QColor(255, 255, 255), 105, 2460, 5654, 2);
    auto *lblDisclaimer = label(this, "lblDisclaimer", QString::fromUtf8(kQuotation), 255, 2625, 3870, 825);
    auto *cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(Twips::toPixels(4245, 2880, 1260, 345));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::close);

    setTabOrder(cmdOK, picLogo);
    setTabOrder(picLogo, lblDescription);
    setTabOrder(lblDescription, lblDisclaimer);
    setTabOrder(lblDisclaimer, lblTitle);
    setTabOrder(lblTitle, lblVersion);
    const QPixmap logo(QStringLiteral(":/kestrel/Logo.bmp"));
    picLogo->setPixmap(logo);
    picLogo->resize(logo.size());
    Twips::fitToCaptions(this);
}
