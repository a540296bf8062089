#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QPushButton;
class QRadioButton;
class QTabWidget;

// What the preferences dialog shows for the stored values. Only the exact
// stored strings select anything.
struct PreferencesState
{
    enum Start { NoStart, StartContinue, StartHome, StartBlank } start = NoStart;
    bool showDialog = false;
    bool confirmExit = false;
    enum PopUp { NoPopUp, Accept, Reject } popUp = NoPopUp;
    bool supressErrors = false;
};
PreferencesState preferencesFromValues(const QString &startUp, const QString &doStartup, const QString &confirmExit,
                                       const QString &popUp, const QString &supressErrors);

// The program's one preferences dialog: each click stores its value at once.
class frmPreferences : public QDialog
{
    Q_OBJECT
public:
    static void showShared();
    static frmPreferences *instance();

    QPushButton *OKButton;
    QTabWidget *Tabs;
    QRadioButton *optStartContinue;
    QRadioButton *optStartHome;
    QRadioButton *optStartBlank;
    QCheckBox *chkShowDialog;
    QCheckBox *chkConfirmExit;
    QRadioButton *optPopUpsAccept;
    QRadioButton *optPopUpsReject;
    QCheckBox *chkSupressErrors;

private:
    frmPreferences();
    void Form_Load();
};
