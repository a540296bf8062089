#include "AddressBoxLogic.h"

int findPrefix(const QStringList &items, const QString &text)
{
    // Every item begins with nothing; an empty box must stay empty (and
    // Enter on it must load what is typed), so nothing matches it.
    if (text.isEmpty())
        return -1;
    const int n = int(items.size());
    for (int step = 1; step <= n; ++step) {
        const int i = step % n;
        if (items[i].startsWith(text, Qt::CaseInsensitive))
            return i;
    }
    return -1;
}

const QString AddressBoxLogic::kPlaceholder = QStringLiteral("[Insert Address Here]");

void AddressBoxLogic::gotFocus()
{
    m_editing = false;
    if (m_text == kPlaceholder && m_grey) {
        m_grey = false;
        m_text.clear();
        m_selStart = m_selLength = 0;
    }
}

void AddressBoxLogic::lostFocus()
{
    if (m_text.isEmpty()) {
        m_grey = true;
        m_text = kPlaceholder;
        m_selStart = m_selLength = 0;
    }
}

void AddressBoxLogic::edited(const QString &newText)
{
    beginEditing();
    m_text = newText;
    m_listIndex = -1;
    m_grey = false;
    m_selStart = m_selLength = 0;
}

std::optional<QString> AddressBoxLogic::picked(int index)
{
    if (index < 0 || index >= m_items.size())
        return std::nullopt;
    moveTo(index);
    m_editing = false;
    return m_text;
}

void AddressBoxLogic::moveTo(int index)
{
    if (index < 0 || index >= m_items.size())
        return;
    beginEditing();
    m_listIndex = index;
    m_text = m_items[index];
    m_grey = false;
    m_selStart = m_selLength = 0;
}

void AddressBoxLogic::step(int direction)
{
    moveTo(m_listIndex + (direction < 0 ? -1 : 1));
}

std::optional<QString> AddressBoxLogic::keyUp(AddressKey key)
{
    // A completion's selection lasts until the next key: selected again on
    // every key, it would be typed over after Ctrl+L, End or Right.
    m_selStart = m_selLength = 0;
    if (key != AddressKey::Backspace && !m_items.isEmpty()) {
        const int i = findPrefix(m_items, m_text);
        if (i != -1 && i != m_listIndex) {
            const int typed = int(m_text.size());
            moveTo(i);
            m_selStart = typed;
            m_selLength = int(m_text.size()) - typed;
        }
    }
    if (key != AddressKey::Enter)
        return std::nullopt;
    // An empty entry in the list would only be a blank line to pick.
    if (!m_text.isEmpty() && findPrefix(m_items, m_text) == -1)
        m_items.append(m_text);
    m_selStart = m_selLength = 0;
    m_editing = false;
    return m_text;
}

void AddressBoxLogic::beginEditing()
{
    if (!m_editing)
        m_beforeEditing = m_grey ? QString() : m_text;
    m_editing = true;
}

void AddressBoxLogic::escape()
{
    m_editing = false;
    m_text = m_beforeEditing;
    m_listIndex = int(m_items.indexOf(m_text));
    m_selStart = 0;
    m_selLength = int(m_text.size());
}
