#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The address box as the user works it, free of widgets: its text and
// placeholder, the addresses typed in this window, completion as keys are
// released, and what Enter or a pick from the list loads.

// First item that begins with `text` ignoring case, searched from the second
// item to the last and then the first; -1 when none.
int findPrefix(const QStringList &items, const QString &text);

// The keys the address box tells apart when one is released.
enum class AddressKey { Other, Backspace, Enter };

class AddressBoxLogic
{
public:
    static const QString kPlaceholder;

    // What the box shows.
    const QString &text() const { return m_text; }
    bool showsPlaceholder() const { return m_grey; }
    // The completed part of the text, selected so that typing replaces it.
    int selectionStart() const { return m_selStart; }
    int selectionLength() const { return m_selLength; }
    // The list under the box and the row that is current, -1 for none.
    const QStringList &items() const { return m_items; }
    int listIndex() const { return m_listIndex; }
    bool isDroppedDown() const { return m_droppedDown; }

    // Addresses the list starts with (the program starts with none).
    void setItems(const QStringList &items) { m_items = items; }

    void gotFocus();
    void lostFocus();
    void dropDown() { m_droppedDown = true; }
    // The user changed the text by typing: no list item is selected any more.
    void edited(const QString &newText);
    // Each of these returns the address to load, if the step loads one.
    // The user picked item `index` from the list (mouse or arrow keys).
    std::optional<QString> picked(int index);
    // Up (-1) or Down (+1): the neighbouring item of the list, if any.
    std::optional<QString> step(int direction);
    std::optional<QString> click();
    std::optional<QString> keyUp(AddressKey key);

private:
    std::optional<QString> selectItem(int index);

    QString m_text = kPlaceholder;
    bool m_grey = true;
    int m_listIndex = -1;
    int m_selStart = 0;
    int m_selLength = 0;
    QStringList m_items;
    bool m_droppedDown = false;
    bool m_inClick = false;
};
