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
    m_text = newText;
    m_listIndex = -1;
    m_grey = false;
    m_selStart = m_selLength = 0;
}

std::optional<QString> AddressBoxLogic::selectItem(int index)
{
    if (index == m_listIndex)
        return std::nullopt;
    m_listIndex = index;
    m_text = m_items.value(index);
    m_grey = false;
    return click();
}

std::optional<QString> AddressBoxLogic::picked(int index)
{
    if (index < 0 || index >= m_items.size())
        return std::nullopt;
    m_listIndex = index;
    m_text = m_items[index];
    m_grey = false;
    return click();
}

std::optional<QString> AddressBoxLogic::step(int direction)
{
    const int next = m_listIndex + (direction < 0 ? -1 : 1);
    if (next < 0 || next >= m_items.size())
        return std::nullopt;
    return picked(next);
}

std::optional<QString> AddressBoxLogic::click()
{
    std::optional<QString> go;
    if (m_droppedDown && !m_inClick) {
        m_inClick = true;
        go = keyUp(AddressKey::Enter);
        m_inClick = false;
    }
    m_droppedDown = false;
    return go;
}

std::optional<QString> AddressBoxLogic::keyUp(AddressKey key)
{
    std::optional<QString> go;
    if (key != AddressKey::Backspace && !m_items.isEmpty()) {
        const int i = findPrefix(m_items, m_text);
        if (i != -1 && i != m_listIndex) {
            const int n = int(m_text.size());
            go = selectItem(i);
            m_selStart = n;
            m_selLength = int(m_text.size()) - n;
        }
    }
    if (key == AddressKey::Enter) {
        go = m_text;
        // An empty entry in the list would only be a blank line to pick.
        if (!m_text.isEmpty() && findPrefix(m_items, m_text) == -1) {
            m_items.append(m_text);
            m_selLength = 0;
        }
    }
    return go;
}
