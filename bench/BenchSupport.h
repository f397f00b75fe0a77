#pragma once

// Helpers shared by the benchmarks: test pictures and a reporter that keeps each benchmark's
// time so that a summary can print it beside its goal.

#include "image/CDibImage.h"

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace bench {

/// A picture with varied colours so that no encoding shortcut applies.
inline void fillPattern(CDibImage& image, int width, int height, quint32 seed)
{
    image.Create(width, height, 24);
    std::vector<unsigned char> raw(size_t(image.RawSize()));
    for (unsigned char& b : raw) {
        seed = seed * 1664525u + 1013904223u;
        b = static_cast<unsigned char>(seed >> 24);
    }
    image.SetBits(qsizetype(raw.size()), raw.data());
}

/// Wall-clock and processor time of one iteration, in seconds.
struct Times
{
    double real = 0;
    double cpu = 0;
};

/// The console reporter, keeping each benchmark's time per iteration for a summary.
class TimesReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                m_seconds[run.benchmark_name()] = {
                    run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit),
                    run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit)};
        }
        ConsoleReporter::ReportRuns(runs);
    }

    /// The times of the named benchmark; zero when it did not run or failed.
    Times find(const char* name) const
    {
        const auto it = m_seconds.find(name);
        return it == m_seconds.end() ? Times{} : it->second;
    }

private:
    std::map<std::string, Times> m_seconds;
};

/// Runs the benchmarks named on the command line and then prints the reporter's summary.
template <typename Reporter> int runWithSummary(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    Reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printSummary();
    benchmark::Shutdown();
    return 0;
}

} // namespace bench
