#pragma once

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

// What every benchmark shares: the median of repeated runs, and one line per
// figure as a ratio against a floor measured in the same run.
namespace bench {

inline double medianMs(int runs, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Prints the figure and returns whether it holds its budget.
inline bool report(const char* what, double measuredMs, double floorMs, double budget)
{
    const double ratio = measuredMs / floorMs;
    const bool ok = ratio <= budget;
    std::printf("%-52s %10.3f ms  floor %10.3f ms  ratio %5.2f  budget %4.1f  %s\n", what, measuredMs, floorMs, ratio,
                budget, ok ? "OK" : "OVER");
    return ok;
}

} // namespace bench
