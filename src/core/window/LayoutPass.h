#pragma once

// Where the main window's controls go for a given window size, in twips.

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
