#pragma once

// Page zoom in the steps browsers share, from 30 % to 300 %. A factor
// between two steps (one stored by hand, say) moves to the next step in the
// direction asked.
namespace ZoomSteps {

constexpr double kSmallest = 0.3;
constexpr double kLargest = 3.0;

double larger(double factor);
double smaller(double factor);
// The factor within the smallest and largest step; 1 for what is no number.
double bounded(double factor);

} // namespace ZoomSteps
