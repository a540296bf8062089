#pragma once

#include <QDialog>

class QCheckBox;
class QPushButton;
class QRadioButton;
class QTabWidget;

// The preferences: each click stores its value at once, so there is nothing
// to apply and nothing to lose.
class PreferencesDialog : public QDialog
{
    Q_OBJECT
public:
    explicit PreferencesDialog(QWidget *parent = nullptr);

    // Shows what the file holds now; stores nothing.
    void showStoredValues();

private:
    void buildControls();
    void storeEachClick();

    QPushButton *m_ok;
    QTabWidget *m_tabs;
    QRadioButton *m_startContinue;
    QRadioButton *m_startHome;
    QRadioButton *m_startBlank;
    QCheckBox *m_showDialog;
    QCheckBox *m_confirmExit;
    QRadioButton *m_popUpsAccept;
    QRadioButton *m_popUpsReject;
    QCheckBox *m_suppressErrors;
};
