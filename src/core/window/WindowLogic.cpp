#include "WindowLogic.h"

#include <cmath>

LayoutGeometry layoutPass(const LayoutInput &in, const LayoutGeometry &previous)
{
    LayoutGeometry g = previous;
    auto setIfValid = [](float &field, float v) {
        if (v >= 0)
            field = v;
    };
    const float W = in.outerWidth;
    const float H = in.outerHeight;

    setIfValid(g.cboWidth, W - 100);
    if (!in.sidebarVisible) {
        g.browserLeft = 0;
        setIfValid(g.browserWidth, W - 100);
    } else {
        g.browserLeft = in.sidebarWidth - 5;
        setIfValid(g.browserWidth, W - in.sidebarWidth - 95);
    }
    const float cut = in.statusBarVisible ? 2350 : 1925;
    setIfValid(g.sidebarHeight, H - cut);
    setIfValid(g.browserHeight, H - cut);
    setIfValid(g.listHeight, kSidebarTop + g.sidebarHeight - kListTop - 1300);
    return g;
}

ProgressState progressStep(const ProgressState &current, int32_t progress, int32_t progressMax)
{
    ProgressState s = current;
    auto setValue = [&s](double v) {
        if (v >= 0 && v <= 100)
            s.value = float(v);
    };
    if (progress == -1)
        setValue(100);
    if (progress > 0 && progressMax > 0) {
        const int64_t product = int64_t(progress) * 100;
        if (product <= INT32_MAX)
            setValue(double(product) / double(progressMax));
    }
    s.visible = s.value != 100.0f;
    return s;
}

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
    if (text == kPlaceholder && grey) {
        grey = false;
        text.clear();
        selStart = selLength = 0;
    }
}

void AddressBoxLogic::lostFocus()
{
    if (text.isEmpty()) {
        grey = true;
        text = kPlaceholder;
        selStart = selLength = 0;
    }
}

void AddressBoxLogic::edited(const QString &newText)
{
    text = newText;
    listIndex = -1;
    grey = false;
    selStart = selLength = 0;
}

std::optional<QString> AddressBoxLogic::selectItem(int index)
{
    if (index == listIndex)
        return std::nullopt;
    listIndex = index;
    text = items.value(index);
    grey = false;
    return click();
}

std::optional<QString> AddressBoxLogic::picked(int index)
{
    if (index < 0 || index >= items.size())
        return std::nullopt;
    listIndex = index;
    text = items[index];
    grey = false;
    return click();
}

std::optional<QString> AddressBoxLogic::click()
{
    std::optional<QString> go;
    if (droppedDown && !m_inClick) {
        m_inClick = true;
        go = keyUp(AddressKey::Enter);
        m_inClick = false;
    }
    droppedDown = false;
    return go;
}

std::optional<QString> AddressBoxLogic::keyUp(AddressKey key)
{
    std::optional<QString> go;
    if (key != AddressKey::Backspace && !items.isEmpty()) {
        const int i = findPrefix(items, text);
        if (i != -1 && i != listIndex) {
            const int n = int(text.size());
            go = selectItem(i);
            selStart = n;
            selLength = int(text.size()) - n;
        }
    }
    if (key == AddressKey::Enter) {
        go = text;
        // An empty entry in the list would only be a blank line to pick.
        if (!text.isEmpty() && findPrefix(items, text) == -1) {
            items.append(text);
            selLength = 0;
        }
    }
    return go;
}
