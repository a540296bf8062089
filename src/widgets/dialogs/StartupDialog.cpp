#include "StartupDialog.h"

#include "common/MessageBoxes.h"
#include "common/Twips.h"
#include "settings/Preferences.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

StartupDialog::StartupDialog(const Preferences &preferences, bool sessionKept, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmStartup"));
    setWindowTitle(QStringLiteral("Welcome to Kestrel"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(Twips::toPixels(5055), Twips::toPixels(4275));

    m_logo = new QLabel(this);
    m_logo->setObjectName(QStringLiteral("Logo"));
    m_logo->move(Twips::toPixels(2040), Twips::toPixels(120));
    m_dontAsk = Twips::place(new QCheckBox(QStringLiteral("&Don't Ask Me Again"), this), "chkDontAsk", 120, 3600, 2175, 495);
    m_start = Twips::place(new QPushButton(QStringLiteral("&Start"), this), "cmdStart", 3240, 3600, 1215, 495);
    m_blank = Twips::place(new QRadioButton(QStringLiteral("Start with &blank page"), this), "optBlank", 240, 2640, 4815, 495);
    m_home = Twips::place(new QRadioButton(QStringLiteral("Start with &home page"), this), "optHome", 240, 2040, 4815, 495);
    m_continue = Twips::place(new QRadioButton(QStringLiteral("&Continue browsing where I was last time"), this),
                        "optContinue", 240, 1440, 4815, 495);
    auto *group = new QButtonGroup(this);
    for (QRadioButton *o : {m_blank, m_home, m_continue})
        group->addButton(o);
    m_home->setChecked(true);
    m_continue->setEnabled(false);
    m_start->setDefault(true);

    setTabOrder(m_logo, m_dontAsk);
    setTabOrder(m_dontAsk, m_start);
    setTabOrder(m_start, m_blank);
    setTabOrder(m_blank, m_home);
    setTabOrder(m_home, m_continue);

    connect(m_start, &QPushButton::clicked, this, &StartupDialog::onStartClicked);
    showChoice(preferences, sessionKept);
    Twips::fitToCaptions(this);
}


void StartupDialog::showChoice(const Preferences &preferences, bool sessionKept)
{
    using Start = Preferences::StartPage;
    m_continue->setEnabled(preferences.canContinue() || sessionKept);
    const Start offered = preferences.offeredStartPage();
    QRadioButton *selected = offered == Start::Continue ? m_continue : offered == Start::Blank ? m_blank : m_home;
    selected->setChecked(true);
    m_logo->setPixmap(QPixmap(QStringLiteral(":/kestrel/Logo.bmp")));
    m_logo->adjustSize();
}

void StartupDialog::onStartClicked()
{
    using Start = Preferences::StartPage;
    const Start page = m_continue->isChecked() ? Start::Continue : m_home->isChecked() ? Start::Home : Start::Blank;
    QString error;
    if (!Preferences::storeStartupAnswer(page, !m_dontAsk->isChecked(), &error))
        showSaveError(this, error);
    emit started();
    close();
}
