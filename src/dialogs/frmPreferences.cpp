#include "frmPreferences.h"

#include "browser/SaveErrorBox.h"
#include "browser/Twips.h"
#include "settings/Settings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>

namespace {
QPointer<frmPreferences> g_prefs;
const QString kSettings = QStringLiteral("Settings");

} // namespace

PreferencesState preferencesFromValues(const QString &startUp, const QString &doStartup, const QString &confirmExit,
                                       const QString &popUp, const QString &supressErrors)
{
    PreferencesState s;
    if (startUp == QLatin1String("Continue"))
        s.start = PreferencesState::StartContinue;
    else if (startUp == QLatin1String("Blank"))
        s.start = PreferencesState::StartBlank;
    else if (startUp == QLatin1String("Home"))
        s.start = PreferencesState::StartHome;
    s.showDialog = doStartup == QLatin1String("True");
    s.confirmExit = confirmExit == QLatin1String("True");
    if (popUp == QLatin1String("Accept"))
        s.popUp = PreferencesState::Accept;
    else if (popUp == QLatin1String("Reject"))
        s.popUp = PreferencesState::Reject;
    s.supressErrors = supressErrors == QLatin1String("True");
    return s;
}

frmPreferences *frmPreferences::instance()
{
    return g_prefs;
}

void frmPreferences::showShared()
{
    if (!g_prefs) {
        g_prefs = new frmPreferences;
        g_prefs->Form_Load();
    }
    g_prefs->show();
    g_prefs->raise();
    g_prefs->activateWindow();
}

frmPreferences::frmPreferences()
    : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                           | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint)
{
    setObjectName(QStringLiteral("frmPreferences"));
    setWindowTitle(QStringLiteral("Preferences"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(Twips::toPixels(6030), Twips::toPixels(3675));

    OKButton = Twips::place(new QPushButton(QStringLiteral("OK"), this), "OKButton", 4680, 3120, 1215, 375);
    Tabs = Twips::place(new QTabWidget(this), "Tabs", 0, 120, 5925, 2895);
    auto *start = new QWidget;
    auto *popups = new QWidget;
    Tabs->addTab(start, QStringLiteral("Start And Exit"));
    Tabs->addTab(popups, QStringLiteral("Pop-Ups/Errors"));
    // Positions on a tab count from the tab control's top edge; the page
    // begins below the tab row. A taller row (a larger font) moves them down.
    const double row = qMin(Twips::fromPixels(Tabs->tabBar()->sizeHint().height()), 400.0);
    optStartContinue = Twips::place(new QRadioButton(QStringLiteral("&Continue where I was last time"), start),
                             "optStartContinue", 240, 480 - row, 4215, 255);
    optStartHome = Twips::place(new QRadioButton(QStringLiteral("Start with &home page"), start), "optStartHome", 240,
                         840 - row, 4575, 255);
    optStartBlank = Twips::place(new QRadioButton(QStringLiteral("Start with &blank page"), start), "optStartBlank", 240,
                          1200 - row, 4695, 255);
    chkShowDialog = Twips::place(new QCheckBox(QStringLiteral("Show Start-Up &Dialog"), start), "chkShowDialog", 240,
                          2040 - row, 4815, 255);
    chkConfirmExit = Twips::place(new QCheckBox(QStringLiteral("Confirm &Exit"), start), "chkConfirmExit", 240,
                           2400 - row, 4935, 255);
    optPopUpsAccept = Twips::place(new QRadioButton(QStringLiteral("&Accept Pop-Ups"), popups), "optPopUpsAccept", 120,
                            600 - row, 4815, 255);
    optPopUpsReject = Twips::place(new QRadioButton(QStringLiteral("&Reject Pop-Ups"), popups), "optPopUpsReject", 120,
                            960 - row, 4935, 255);
    chkSupressErrors = Twips::place(new QCheckBox(QStringLiteral("&Supress Script Errors"), popups), "chkSupressErrors",
                             120, 1800 - row, 5055, 375);

    // Two independent groups; QButtonGroup lets a group start with nothing
    // selected, as it does when nothing is stored.
    auto *startGroup = new QButtonGroup(this);
    for (QRadioButton *o : {optStartContinue, optStartHome, optStartBlank})
        startGroup->addButton(o);
    auto *popGroup = new QButtonGroup(this);
    popGroup->addButton(optPopUpsAccept);
    popGroup->addButton(optPopUpsReject);

    const QList<QWidget *> order = {OKButton, Tabs, optStartContinue, optStartHome, optStartBlank,
                                    chkShowDialog, chkConfirmExit, optPopUpsAccept, optPopUpsReject,
                                    chkSupressErrors};
    for (int i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);

    // Clicks only, so that showing the stored values writes nothing.
    // A choice that could not be stored is told, and the dialog goes back
    // to showing what the file holds.
    auto save = [this](const char *key, const QString &value) {
        QString error;
        if (!WriteIniValue(kSettings, QString::fromLatin1(key), value, &error)) {
            showSaveError(this, error);
            Form_Load();
        }
    };
    auto store = [save](const char *key, const char *value) {
        return [save, key, value] { save(key, QString::fromLatin1(value)); };
    };
    connect(optStartContinue, &QRadioButton::clicked, this, store("StartUp", "Continue"));
    connect(optStartHome, &QRadioButton::clicked, this, store("StartUp", "Home"));
    connect(optStartBlank, &QRadioButton::clicked, this, store("StartUp", "Blank"));
    connect(optPopUpsAccept, &QRadioButton::clicked, this, store("PopUp", "Accept"));
    connect(optPopUpsReject, &QRadioButton::clicked, this, store("PopUp", "Reject"));
    auto flag = [save](const char *key) {
        return [save, key](bool on) { save(key, on ? QStringLiteral("True") : QStringLiteral("False")); };
    };
    connect(chkShowDialog, &QCheckBox::clicked, this, flag("DoStartup"));
    connect(chkConfirmExit, &QCheckBox::clicked, this, flag("ConfirmExit"));
    connect(chkSupressErrors, &QCheckBox::clicked, this, flag("SupressErrors"));
    connect(OKButton, &QPushButton::clicked, this, &QDialog::close);
    OKButton->setDefault(true);
    Twips::fitToCaptions(this);
}

void frmPreferences::Form_Load()
{
    const IniDocument doc = LoadIniFile();
    auto read = [&doc](const char *key) { return doc.value(kSettings, QString::fromLatin1(key)); };
    const PreferencesState s = preferencesFromValues(read("StartUp"), read("DoStartup"), read("ConfirmExit"),
                                                     read("PopUp"), read("SupressErrors"));
    if (s.start == PreferencesState::StartContinue)
        optStartContinue->setChecked(true);
    else if (s.start == PreferencesState::StartHome)
        optStartHome->setChecked(true);
    else if (s.start == PreferencesState::StartBlank)
        optStartBlank->setChecked(true);
    chkShowDialog->setChecked(s.showDialog);
    chkConfirmExit->setChecked(s.confirmExit);
    if (s.popUp == PreferencesState::Accept)
        optPopUpsAccept->setChecked(true);
    else if (s.popUp == PreferencesState::Reject)
        optPopUpsReject->setChecked(true);
    chkSupressErrors->setChecked(s.supressErrors);
    Tabs->setCurrentIndex(0);
}
