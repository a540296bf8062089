#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The address box as the user works it, free of widgets: its text and
// placeholder, the addresses typed in this window, completion as keys are
// released, and what Enter or a pick from the list loads. Nothing else
// loads: a completion or a step through the list only fills the box.

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
    // The part a completion added, selected so that typing replaces it;
    // empty once the next key is released.
    int selectionStart() const { return m_selStart; }
    int selectionLength() const { return m_selLength; }
    // The list under the box and the row that is current, -1 for none.
    const QStringList &items() const { return m_items; }
    int listIndex() const { return m_listIndex; }
    // Typed into since the box last loaded something or took the focus:
    // Escape then belongs to the box.
    bool isEditing() const { return m_editing; }

    // Addresses the list starts with (the program starts with none).
    void setItems(const QStringList &items) { m_items = items; }

    void gotFocus();
    void lostFocus();
    // The user changed the text by typing: no list item is selected any more.
    void edited(const QString &newText);
    // The user picked item `index` from the open list: the address to load.
    std::optional<QString> picked(int index);
    // The box moved to item `index` of the closed list (Up, Down): it only
    // takes the item's text.
    void moveTo(int index);
    // Up (-1) or Down (+1): the neighbouring item of the list, if any.
    void step(int direction);
    // A key was released: completes the text from the list, and Enter
    // returns the address to load.
    std::optional<QString> keyUp(AddressKey key);
    // Takes the typing back: the text the box held before it, all selected.
    void escape();

private:
    void beginEditing();

    QString m_text = kPlaceholder;
    bool m_grey = true;
    int m_listIndex = -1;
    int m_selStart = 0;
    int m_selLength = 0;
    QStringList m_items;
    bool m_editing = false;
    QString m_beforeEditing;
};
