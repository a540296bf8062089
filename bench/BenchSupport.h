#pragma once

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

// Median wall time of `runs` calls of `fn`, in microseconds; `setup` runs
// before each call and is not timed.
inline double medianMicros(int runs, const std::function<void()> &fn,
                           const std::function<void()> &setup = {})
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        if (setup)
            setup();
        QElapsedTimer t;
        t.start();
        fn();
        times.push_back(double(t.nsecsElapsed()) / 1000.0);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

inline void report(const char *name, double micros, double floorMicros)
{
    std::printf("%-30s %10.1f us   %6.2fx\n", name, micros, micros / floorMicros);
}
