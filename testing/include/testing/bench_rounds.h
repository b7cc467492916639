// Rounds of a benchmark: the feature and its baseline measured alternately, round after
// round, so that both meet the same load of a shared machine; figures are printed as
// minimum / median / maximum, and the ratio is taken per round.
#pragma once
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

namespace testing_support {

inline double NowMilliseconds()
{
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

struct Spread {
    double dMin = 0, dMedian = 0, dMax = 0;
};

inline Spread SpreadOf(std::vector<double> values)
{
    Spread spread;
    if (values.empty())
        return spread;
    std::sort(values.begin(), values.end());
    spread.dMin = values.front();
    spread.dMax = values.back();
    size_t n = values.size();
    spread.dMedian = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return spread;
}

// Runs a and b, each returning its time, in the order of this round: b first in odd
// rounds, so that neither side always meets the machine first. Gives {a's, b's}.
template <class A, class B>
std::pair<double, double> TimeInTurn(int round, A a, B b)
{
    std::pair<double, double> times;
    if (round % 2) {
        times.second = b();
        times.first = a();
    } else {
        times.first = a();
        times.second = b();
    }
    return times;
}

struct RoundFigures {
    std::vector<double> feature, baseline, ratio;  // milliseconds per call, and their quotient
};

// nRounds rounds of nCalls calls each; the order of the two alternates between rounds.
template <class Feature, class Baseline>
RoundFigures MeasureRounds(int nRounds, int nCalls, Feature feature, Baseline baseline)
{
    RoundFigures figures;
    auto time = [nCalls](auto& f) {
        double t0 = NowMilliseconds();
        for (int i = 0; i < nCalls; ++i)
            f();
        return (NowMilliseconds() - t0) / nCalls;
    };
    for (int round = 0; round < nRounds; ++round) {
        const auto [dFeature, dBaseline] = TimeInTurn(round, [&] { return time(feature); }, [&] { return time(baseline); });
        figures.feature.push_back(dFeature);
        figures.baseline.push_back(dBaseline);
        figures.ratio.push_back(dBaseline > 0 ? dFeature / dBaseline : 0);
    }
    return figures;
}

inline void PrintSpread(const char* pszLabel, const Spread& s, const char* pszUnit)
{
    std::printf("  %-44s %10.3f / %10.3f / %10.3f %s\n", pszLabel, s.dMin, s.dMedian, s.dMax, pszUnit);
}

// "label: feature, baseline and ratio, min / median / max over N rounds".
inline void PrintRounds(const char* pszTitle, const char* pszFeature, const char* pszBaseline, const RoundFigures& figures)
{
    std::printf("%s (min / median / max of %u rounds)\n", pszTitle, static_cast<unsigned>(figures.ratio.size()));
    PrintSpread(pszFeature, SpreadOf(figures.feature), "ms");
    PrintSpread(pszBaseline, SpreadOf(figures.baseline), "ms");
    PrintSpread("ratio, per round", SpreadOf(figures.ratio), "");
    std::fflush(stdout);
}

}  // namespace testing_support
