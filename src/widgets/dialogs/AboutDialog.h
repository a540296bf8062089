#pragma once

#include <QDialog>

// The program's name, version, notice and a quotation, with an OK button.
class AboutDialog : public QDialog
{
    Q_OBJECT
public:
    explicit AboutDialog(QWidget *parent = nullptr);

    static const char *const kNotice;
    static const char *const kQuotation;
};
