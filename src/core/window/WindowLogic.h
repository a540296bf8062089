#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

// The arithmetic of the main window, free of widgets.

// ---- Layout pass (all figures in twips) -------------------------------------
struct LayoutGeometry
{
    float cboWidth = 11655;
    float browserLeft = 0;
    float browserWidth = 11535;
    float browserHeight = 12735;
    float sidebarHeight = 12735;
    float listHeight = 9420;
};

struct LayoutInput
{
    float outerWidth;
    float outerHeight;
    bool sidebarVisible;
    bool statusBarVisible;
    // Wider than designed only when a larger font made its buttons grow.
    float sidebarWidth = 4005;
};

constexpr float kSidebarTop = 1200;
constexpr float kListTop = 1080;

// The classic frame around the client area: 3 px borders, a title bar and a
// menu bar at 96 DPI. The layout figures were made against it, so the window
// adds it to its client size before the layout pass runs.
constexpr float kFrameAllowanceWidth = 90;
constexpr float kFrameAllowanceHeight = 675;

// A computed width or height below zero is refused and the previous one kept.
LayoutGeometry layoutPass(const LayoutInput &in, const LayoutGeometry &previous);

// ---- Progress bar --------------------------------------------------------------
struct ProgressState
{
    float value = 0;
    bool visible = true;
};

// One ProgressChange report applied to the bar: the new value and whether the
// bar shows. A hundredfold beyond 32 bits, or a quotient outside 0..100,
// leaves the value as it was.
ProgressState progressStep(const ProgressState &current, int32_t progress, int32_t progressMax);

// ---- Address box ------------------------------------------------------------------
// First item that begins with `text` ignoring case, searched from the second
// item to the last and then the first; -1 when none.
int findPrefix(const QStringList &items, const QString &text);

// The keys the address box tells apart when one is released.
enum class AddressKey { Other, Backspace, Enter };

class AddressBoxLogic
{
public:
    static const QString kPlaceholder;

    QString text = kPlaceholder;
    bool grey = true;
    int listIndex = -1;
    int selStart = 0;
    int selLength = 0;
    QStringList items;
    bool droppedDown = false;

    void gotFocus();
    void lostFocus();
    void dropDown() { droppedDown = true; }
    // The user changed the text by typing: no list item is selected any more.
    void edited(const QString &newText);
    // The user picked item `index` from the list (mouse or arrow keys).
    std::optional<QString> picked(int index);
    // Returns the address to navigate to, if any.
    std::optional<QString> click();
    std::optional<QString> keyUp(AddressKey key);

private:
    bool m_inClick = false;
    std::optional<QString> selectItem(int index);
};
