#pragma once

#include "window/AddressBoxLogic.h"

#include <QComboBox>

// The address box: an editable combo box whose behaviour (placeholder,
// completion, Enter) lives in AddressBoxLogic; this class only moves events
// in and state out.
//
// Keys are taken where Qt delivers them: the combo box holds the focus for
// its line edit and hands key events to it by a direct call, so a filter on
// the line edit would never see what a user types.
class AddressBox : public QComboBox
{
    Q_OBJECT
public:
    explicit AddressBox(QWidget *parent = nullptr);

    void showPopup() override;
    void hidePopup() override;
    // Focus with the whole text selected, ready to be typed over.
    void focusForTyping();

signals:
    void navigateRequested(const QString &address);

protected:
    bool event(QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void changeEvent(QEvent *e) override;
    // The wheel does not step through the list: a scroll that passes over
    // the box must not change what it holds.
    void wheelEvent(QWheelEvent *e) override;

private:
    void pushToWidget();
    void run(const std::optional<QString> &go);

    AddressBoxLogic m_logic;
    bool m_syncing = false;
    // The list is open: a row chosen now is the user's pick, which loads.
    bool m_listOpen = false;
};
