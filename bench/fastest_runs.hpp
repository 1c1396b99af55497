// A console reporter that also keeps, for each benchmark, the fastest of its
// repetitions (in the benchmark's own time unit): the machine is shared, and
// other work only ever adds time, so the least disturbed run is the truest
// side of a ratio.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class FastestRuns : public benchmark::ConsoleReporter {
public:
    // Without colours, so the figure lines printed after the table start
    // their lines for whoever reads them with grep.
    FastestRuns() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& run : runs) {
            if (run.run_type != Run::RT_Iteration) {
                continue;
            }
            const std::string name = run.run_name.function_name;
            const double time = run.GetAdjustedRealTime();
            if (!times.count(name) || time < times[name]) {
                times[name] = time;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    std::map<std::string, double> times;
};
