#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;

// The first window of every run: asks how the run should begin, or, when
// told not to ask, opens the first main window without ever showing.
class frmStartup : public QDialog
{
    Q_OBJECT
public:
    explicit frmStartup(QWidget *parent = nullptr);

    // The load step. Returns true when the dialog should be shown; false
    // when it has already opened the main window and closed itself.
    bool Form_Load();
    void cmdStart_Click();

    QLabel *Logo;
    QCheckBox *chkDontAsk;
    QPushButton *cmdStart;
    QRadioButton *optBlank;
    QRadioButton *optHome;
    QRadioButton *optContinue;

private:
    void openFirstMainWindow();
};
