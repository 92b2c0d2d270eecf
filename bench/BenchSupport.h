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

// Runs the floor and the measured work in turn, `runs` times each, so that
// both meet the same machine state (caches, other load) pair by pair. Each
// function returns its own time in milliseconds.
struct Pairs
{
    std::vector<double> floorMs;
    std::vector<double> measuredMs;
};

inline Pairs interleaved(int runs, const std::function<double()>& floor, const std::function<double()>& measured)
{
    Pairs pairs;
    for (int i = 0; i < runs; ++i) {
        pairs.floorMs.push_back(floor());
        pairs.measuredMs.push_back(measured());
    }
    return pairs;
}

inline double timedMs(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Prints the median times and the minimum and median of the per-pair ratios;
// the budget holds the median ratio. A budget of 0 prints the figure for
// information only.
inline bool reportPairs(const char* what, const Pairs& pairs, double budget, const char* unit = "ms")
{
    std::vector<double> ratios;
    for (size_t i = 0; i < pairs.floorMs.size(); ++i)
        ratios.push_back(pairs.measuredMs[i] / pairs.floorMs[i]);
    const double minRatio = *std::min_element(ratios.begin(), ratios.end());
    const double medianRatio = median(ratios);
    const bool ok = budget <= 0 || medianRatio <= budget;
    std::printf("%-44s %9.2f %s  floor %9.2f %s  ratio min %5.2f median %5.2f", what, median(pairs.measuredMs), unit,
                median(pairs.floorMs), unit, minRatio, medianRatio);
    if (budget > 0)
        std::printf("  budget %4.2f  %s\n", budget, ok ? "OK" : "OVER");
    else
        std::printf("  (for information)\n");
    return ok;
}

} // namespace bench
