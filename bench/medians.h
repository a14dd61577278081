#pragma once

// The main() of a benchmark program that reports ratios of medians: runs
// every benchmark (15 repetitions unless --benchmark_repetitions says
// otherwise) and hands the median real time of each, by name, to `report`.

#include <benchmark/benchmark.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace tarvelle::bench {

using Medians = std::map<std::string, double>;

class MedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& run : runs) {
            if (run.aggregate_name == "median") {
                medians[run.run_name.function_name] = run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    Medians medians;
};

template <class Report>
int runWithMedians(int argc, char** argv, Report report) {
    std::vector<char*> args(argv, argv + argc);
    std::string repetitions = "--benchmark_repetitions=15";
    bool given = false;
    for (char* a : args) given |= std::strncmp(a, "--benchmark_repetitions", 23) == 0;
    if (!given) args.push_back(repetitions.data());
    int n = static_cast<int>(args.size());
    benchmark::Initialize(&n, args.data());

    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    report(reporter.medians);
    return 0;
}

}  // namespace tarvelle::bench
