// Two sides of a ratio timed in turns: each side's fastest batch counts.
#pragma once

#include <algorithm>
#include <chrono>
#include <utility>

namespace bench {

// Microseconds per call of each side's fastest batch of `perA` (`perB`)
// calls, the two sides taking turns `rounds` times: both meet the same
// conditions, and on a shared machine, where other work only adds time, the
// least disturbed batch is the truest.
template <class A, class B>
std::pair<double, double> fastestAlternating(A&& a, int perA, B&& b, int perB, int rounds = 2000) {
    using Clock = std::chrono::steady_clock;
    auto batch = [](auto& fn, int calls) {
        const auto start = Clock::now();
        for (int i = 0; i < calls; ++i) {
            fn();
        }
        return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / calls;
    };
    double bestA = 1e30, bestB = 1e30;
    for (int round = 0; round < rounds; ++round) {
        bestA = std::min(bestA, batch(a, perA));
        bestB = std::min(bestB, batch(b, perB));
    }
    return {bestA, bestB};
}

} // namespace bench
