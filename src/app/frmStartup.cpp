#include "frmStartup.h"

#include "MainWindowSteps.h"
#include "StartupLogic.h"
#include "browser/SaveErrorBox.h"
#include "browser/Twips.h"
#include "browser/frmMain.h"
#include "settings/Settings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

frmStartup::frmStartup(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmStartup"));
    setWindowTitle(QStringLiteral("Welcome to Kestrel"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(Twips::toPixels(5055), Twips::toPixels(4275));

    Logo = new QLabel(this);
    Logo->setObjectName(QStringLiteral("Logo"));
    Logo->move(Twips::toPixels(2040), Twips::toPixels(120));
    chkDontAsk = Twips::place(new QCheckBox(QStringLiteral("&Don't Ask Me Again"), this), "chkDontAsk", 120, 3600, 2175, 495);
    cmdStart = Twips::place(new QPushButton(QStringLiteral("&Start"), this), "cmdStart", 3240, 3600, 1215, 495);
    optBlank = Twips::place(new QRadioButton(QStringLiteral("Start with &blank page"), this), "optBlank", 240, 2640, 4815, 495);
    optHome = Twips::place(new QRadioButton(QStringLiteral("Start with &home page"), this), "optHome", 240, 2040, 4815, 495);
    optContinue = Twips::place(new QRadioButton(QStringLiteral("&Continue browsing where I was last time"), this),
                        "optContinue", 240, 1440, 4815, 495);
    auto *group = new QButtonGroup(this);
    for (QRadioButton *o : {optBlank, optHome, optContinue})
        group->addButton(o);
    optHome->setChecked(true);
    optContinue->setEnabled(false);
    cmdStart->setDefault(true);

    setTabOrder(Logo, chkDontAsk);
    setTabOrder(chkDontAsk, cmdStart);
    setTabOrder(cmdStart, optBlank);
    setTabOrder(optBlank, optHome);
    setTabOrder(optHome, optContinue);

    connect(cmdStart, &QPushButton::clicked, this, &frmStartup::cmdStart_Click);
    Twips::fitToCaptions(this);
}

bool frmStartup::Form_Load()
{
    const QString section = QStringLiteral("Settings");
    const StartupChoice c = chooseStartupDialogState(ReadIniValue(section, QStringLiteral("LastURL")),
                                                     ReadIniValue(section, QStringLiteral("Startup")),
                                                     ReadIniValue(section, QStringLiteral("DoStartup")));
    optContinue->setEnabled(c.continueEnabled);
    QRadioButton *selected = c.selected == StartupChoice::Continue ? optContinue
                             : c.selected == StartupChoice::Blank  ? optBlank
                                                                   : optHome;
    selected->setChecked(true);
    if (c.skipDialog) {
        openFirstMainWindow();
        close();
        return false;
    }
    // The logo is only needed when the dialog is seen.
    Logo->setPixmap(QPixmap(QStringLiteral(":/kestrel/Logo.bmp")));
    Logo->adjustSize();
    return true;
}

void frmStartup::cmdStart_Click()
{
    const StartupChoice::Option option = optContinue->isChecked() ? StartupChoice::Continue
                                         : optHome->isChecked()   ? StartupChoice::Home
                                                                  : StartupChoice::Blank;
    std::vector<IniWrite> writes{{QStringLiteral("Settings"), QStringLiteral("Startup"), startupValueFor(option)}};
    if (chkDontAsk->isChecked())
        writes.push_back({QStringLiteral("Settings"), QStringLiteral("DoStartup"), QStringLiteral("False")});
    QString error;
    if (!WriteIniValues(writes, &error))
        showSaveError(this, error);
    openFirstMainWindow();
    close();
}

void frmStartup::openFirstMainWindow()
{
    frmMain *w = frmMain::hooks().createWindow ? frmMain::hooks().createWindow() : nullptr;
    if (w)
        w->show();
}
