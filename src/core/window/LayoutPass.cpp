#include "LayoutPass.h"

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
