#include "PreferencesDialog.h"

#include "common/MessageBoxes.h"
#include "common/Twips.h"
#include "settings/Preferences.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>

PreferencesDialog::PreferencesDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                           | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint)
{
    setObjectName(QStringLiteral("frmPreferences"));
    setWindowTitle(QStringLiteral("Preferences"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(Twips::toPixels(6030), Twips::toPixels(3675));
    buildControls();
    storeEachClick();
    connect(m_ok, &QPushButton::clicked, this, &QDialog::close);
    m_ok->setDefault(true);
    Twips::fitToCaptions(this);
    showStoredValues();
}

void PreferencesDialog::buildControls()
{
    m_ok = Twips::place(new QPushButton(QStringLiteral("OK"), this), "OKButton", 4680, 3120, 1215, 375);
    m_tabs = Twips::place(new QTabWidget(this), "Tabs", 0, 120, 5925, 2895);
    auto *start = new QWidget;
    auto *popups = new QWidget;
    m_tabs->addTab(start, QStringLiteral("Start And Exit"));
    m_tabs->addTab(popups, QStringLiteral("Pop-Ups/Errors"));
    // Positions on a tab count from the tab control's top edge; the page
    // begins below the tab row. A taller row (a larger font) moves them down.
    const double row = qMin(Twips::fromPixels(m_tabs->tabBar()->sizeHint().height()), 400.0);
    m_startContinue = Twips::place(new QRadioButton(QStringLiteral("&Continue where I was last time"), start),
                             "optStartContinue", 240, 480 - row, 4215, 255);
    m_startHome = Twips::place(new QRadioButton(QStringLiteral("Start with &home page"), start), "optStartHome", 240,
                         840 - row, 4575, 255);
    m_startBlank = Twips::place(new QRadioButton(QStringLiteral("Start with &blank page"), start), "optStartBlank", 240,
                          1200 - row, 4695, 255);
    m_showDialog = Twips::place(new QCheckBox(QStringLiteral("Show Start-Up &Dialog"), start), "chkShowDialog", 240,
                          2040 - row, 4815, 255);
    m_confirmExit = Twips::place(new QCheckBox(QStringLiteral("Confirm &Exit"), start), "chkConfirmExit", 240,
                           2400 - row, 4935, 255);
    m_popUpsAccept = Twips::place(new QRadioButton(QStringLiteral("&Accept Pop-Ups"), popups), "optPopUpsAccept", 120,
                            600 - row, 4815, 255);
    m_popUpsReject = Twips::place(new QRadioButton(QStringLiteral("&Reject Pop-Ups"), popups), "optPopUpsReject", 120,
                            960 - row, 4935, 255);
    m_suppressErrors = Twips::place(new QCheckBox(QStringLiteral("&Supress Script Errors"), popups), "chkSupressErrors",
                             120, 1800 - row, 5055, 375);

    // Two independent groups; QButtonGroup lets a group start with nothing
    // selected, as it does when nothing is stored.
    auto *startGroup = new QButtonGroup(this);
    for (QRadioButton *o : {m_startContinue, m_startHome, m_startBlank})
        startGroup->addButton(o);
    auto *popGroup = new QButtonGroup(this);
    popGroup->addButton(m_popUpsAccept);
    popGroup->addButton(m_popUpsReject);

    const QList<QWidget *> order = {m_ok, m_tabs, m_startContinue, m_startHome, m_startBlank,
                                    m_showDialog, m_confirmExit, m_popUpsAccept, m_popUpsReject,
                                    m_suppressErrors};
    for (int i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);
}

void PreferencesDialog::storeEachClick()
{
    // Clicks only, so that showing the stored values writes nothing.
    // A choice that could not be stored is told, and the dialog goes back
    // to showing what the file holds.
    auto stored = [this](bool ok, const QString &error) {
        if (!ok) {
            showSaveError(this, error);
            showStoredValues();
        }
    };
    using P = Preferences;
    auto onClick = [this, stored](QAbstractButton *button, auto write) {
        connect(button, &QAbstractButton::clicked, this, [stored, write](bool on) {
            QString error;
            stored(write(on, &error), error);
        });
    };
    onClick(m_startContinue, [](bool, QString *e) { return P::storeStartPage(P::StartPage::Continue, e); });
    onClick(m_startHome, [](bool, QString *e) { return P::storeStartPage(P::StartPage::Home, e); });
    onClick(m_startBlank, [](bool, QString *e) { return P::storeStartPage(P::StartPage::Blank, e); });
    onClick(m_popUpsAccept, [](bool, QString *e) { return P::storePopUps(P::PopUps::Accept, e); });
    onClick(m_popUpsReject, [](bool, QString *e) { return P::storePopUps(P::PopUps::Reject, e); });
    onClick(m_showDialog, &P::storeShowStartupDialog);
    onClick(m_confirmExit, &P::storeConfirmExit);
    onClick(m_suppressErrors, &P::storeSuppressErrors);
}

void PreferencesDialog::showStoredValues()
{
    const Preferences p = Preferences::load();
    using Start = Preferences::StartPage;
    if (p.startPage == Start::Continue)
        m_startContinue->setChecked(true);
    else if (p.startPage == Start::Home)
        m_startHome->setChecked(true);
    else if (p.startPage == Start::Blank)
        m_startBlank->setChecked(true);
    m_showDialog->setChecked(p.showStartupDialog == true);
    m_confirmExit->setChecked(p.confirmExit);
    if (p.popUps == Preferences::PopUps::Accept)
        m_popUpsAccept->setChecked(true);
    else if (p.popUps == Preferences::PopUps::Reject)
        m_popUpsReject->setChecked(true);
    m_suppressErrors->setChecked(p.suppressErrors);
    m_tabs->setCurrentIndex(0);
}
