#pragma once

#include "WindowLogic.h"

#include <QComboBox>

// The address box: an editable combo box whose behaviour (placeholder,
// completion, Enter) lives in AddressBoxLogic; this class only moves events
// in and state out.
class AddressBox : public QComboBox
{
    Q_OBJECT
public:
    explicit AddressBox(QWidget *parent = nullptr);

    void showPopup() override;

signals:
    void navigateRequested(const QString &address);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;

private:
    void pushToWidget();
    void run(const std::optional<QString> &go);

    AddressBoxLogic m_logic;
    bool m_syncing = false;
};
