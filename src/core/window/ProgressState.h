#pragma once

#include <cstdint>

// The progress bar over the status bar: its value and whether it shows.
struct ProgressState
{
    float value = 0;
    bool visible = true;
};

// One progress report applied to the bar: the new value and whether the bar
// shows. A hundredfold beyond 32 bits, or a quotient outside 0..100, leaves
// the value as it was.
ProgressState progressStep(const ProgressState &current, int32_t progress, int32_t progressMax);
