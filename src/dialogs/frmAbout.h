#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class frmAbout : public QDialog
{
    Q_OBJECT
public:
    static void showShared();
    static frmAbout *instance();

    static const char *const kNotice;
    static const char *const kQuotation;

    QLabel *picLogo;
    QLabel *lblTitle;
    QLabel *lblVersion;
    QLabel *lblDescription;
    QLabel *lblDisclaimer;
    QPushButton *cmdOK;

private:
    frmAbout();
    void Form_Load();
};
