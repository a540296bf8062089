#include "ZoomSteps.h"

#include <cmath>
#include <iterator>

namespace {
constexpr double kSteps[] = {0.3, 0.5, 0.67, 0.8, 0.9, 1.0, 1.1, 1.25, 1.5, 1.75, 2.0, 2.5, 3.0};
// Factors this close count as the step itself: a stored 1.1 may come back
// as 1.0999999.
constexpr double kSame = 0.005;
} // namespace

namespace ZoomSteps {

double larger(double factor)
{
    factor = bounded(factor);
    for (double step : kSteps) {
        if (step > factor + kSame)
            return step;
    }
    return kLargest;
}

double smaller(double factor)
{
    factor = bounded(factor);
    for (auto it = std::rbegin(kSteps); it != std::rend(kSteps); ++it) {
        if (*it < factor - kSame)
            return *it;
    }
    return kSmallest;
}

double bounded(double factor)
{
    if (!std::isfinite(factor))
        return 1.0;
    return factor < kSmallest ? kSmallest : factor > kLargest ? kLargest : factor;
}

} // namespace ZoomSteps
