// The console report as usual, then the pairings' closing lines.
#include "bench/BenchPairs.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
struct sPAIR
{
    std::string strLabel, strOurs, strReference;
};

std::vector<sPAIR>& Pairs()
{
    static std::vector<sPAIR> s_aPairs;
    return s_aPairs;
}

// Real and CPU seconds per iteration of every plain run, by run name (the best of its
// repetitions). On a loaded machine the CPU figure of a single-threaded run is the steadier.
class CPairReporter : public benchmark::ConsoleReporter
{
public:
    CPairReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& aRuns) override
    {
        for (const Run& run : aRuns)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred && run.iterations > 0)
            {
                const double fIterations = static_cast<double>(run.iterations);
                const sTIMES times = {run.real_accumulated_time / fIterations,
                                      run.cpu_accumulated_time / fIterations};
                auto it = m_Times.emplace(run.benchmark_name(), times).first;
                it->second.fReal = std::min(it->second.fReal, times.fReal);
                it->second.fCpu = std::min(it->second.fCpu, times.fCpu);
            }
        ConsoleReporter::ReportRuns(aRuns);
    }

    void PrintPairs() const
    {
        if (Pairs().empty())
            return;
        printf("%-44s %12s %12s %9s %9s\n", "pairing (times in us)", "ours", "reference", "ours/ref",
               "cpu o/r");
        for (const sPAIR& pair : Pairs())
        {
            auto ours = m_Times.find(pair.strOurs), reference = m_Times.find(pair.strReference);
            if (ours == m_Times.end() || reference == m_Times.end())
            {
                printf("%-44s %12s %12s %9s\n", pair.strLabel.c_str(), "-", "-", "not run");
                continue;
            }
            // A run timed by hand measures other threads' work: its CPU time says nothing.
            const bool bManual = IsManual(pair.strOurs) || IsManual(pair.strReference);
            char aCpu[32] = "-";
            if (!bManual)
                snprintf(aCpu, sizeof(aCpu), "%.2fx", reference->second.fCpu / ours->second.fCpu);
            printf("%-44s %12.4g %12.4g %8.2fx %9s\n", pair.strLabel.c_str(),
                   ours->second.fReal * kMicroseconds, reference->second.fReal * kMicroseconds,
                   reference->second.fReal / ours->second.fReal, aCpu);
        }
        fflush(stdout);
    }

private:
    static bool IsManual(const std::string& strRun)
    {
        return strRun.find("manual_time") != std::string::npos;
    }

    struct sTIMES
    {
        double fReal, fCpu;
    };
    static constexpr double kMicroseconds = 1e6;
    std::map<std::string, sTIMES> m_Times;
};
} // namespace

CBenchPair::CBenchPair(const char* pLabel, const char* pOurs, const char* pReference)
{
    Pairs().push_back({pLabel, pOurs, pReference});
}

void RunBenchmarksAndPairs()
{
    CPairReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintPairs();
}
