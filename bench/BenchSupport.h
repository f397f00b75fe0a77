#pragma once

// Helpers shared by the benchmarks: test pictures and a reporter that keeps each benchmark's
// time so that a summary can print it beside its goal.

#include "image/CDibImage.h"

#include <QDir>
#include <QFileInfo>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace bench {

/// /dev/shm, the tmpfs the file goals are stated for; elsewhere the system's temporary folder.
inline QString tmpfsRoot()
{
    return QFileInfo(QStringLiteral("/dev/shm")).isDir() ? QStringLiteral("/dev/shm")
                                                         : QDir::tempPath();
}

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
            if (run.run_type != Run::RT_Iteration)
                continue;
            // By the function's name alone, without "/min_time:..." or "/manual_time".
            const std::string& name = run.run_name.function_name;
            if (run.error_occurred)
                m_failed.insert(name);
            else
                m_seconds[name] = {
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

    /// True when the named benchmark stopped with an error.
    bool failed(const char* name) const { return m_failed.count(name) != 0; }

    /// Prints a goal's verdict at the end of its line and keeps a missed one for the exit status.
    void verdict(bool met) const
    {
        std::printf(": %s\n", met ? "PASS" : "FAIL");
        m_allMet = m_allMet && met;
    }

    /// Prints a goal that has no figure: a benchmark that failed misses it, one left out by
    /// --benchmark_filter does not count.
    void unmeasured(const char* label, const char* benchmarkName) const
    {
        std::printf("%-7s: not measured", label);
        if (failed(benchmarkName))
            verdict(false);
        else
            std::printf("\n");
    }

    /// False once any goal was missed.
    bool allMet() const { return m_allMet; }

private:
    std::map<std::string, Times> m_seconds;
    std::set<std::string> m_failed;
    mutable bool m_allMet = true;
};

/// Runs the benchmarks named on the command line, then prints the reporter's summary; exits with
/// 1 when a goal was missed, so that `make bench` fails.
template <typename Reporter> int runWithSummary(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    Reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printSummary();
    benchmark::Shutdown();
    return reporter.allMet() ? 0 : 1;
}

} // namespace bench
