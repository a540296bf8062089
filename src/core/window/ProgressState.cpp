#include "ProgressState.h"

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
