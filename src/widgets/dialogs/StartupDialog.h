#pragma once

#include <QDialog>

struct Preferences;
class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;

// The first window of a run that is to ask how it begins: the user's answer
// is stored, then started() lets the first main window open.
class StartupDialog : public QDialog
{
    Q_OBJECT
public:
    // Continue is offered when there is a page or a session to continue with.
    StartupDialog(const Preferences &preferences, bool sessionKept, QWidget *parent = nullptr);

signals:
    void started();

private:
    void showChoice(const Preferences &preferences, bool sessionKept);
    void onStartClicked();

    QLabel *m_logo;
    QCheckBox *m_dontAsk;
    QPushButton *m_start;
    QRadioButton *m_blank;
    QRadioButton *m_home;
    QRadioButton *m_continue;
};
