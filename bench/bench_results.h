// Collects the runs of one benchmark session so that the figures that matter (ratios of
// one routine against another) can be printed as a table after all benchmarks ran.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class BenchResults {
public:
    void Add(const benchmark::BenchmarkReporter::Run& run);

    // Median over repetitions of a user counter of the named benchmark; NaN when the
    // benchmark did not run (filtered out).
    double Counter(const std::string& name, const std::string& counter) const;
    // Median over repetitions of the real time per iteration, in seconds; NaN when absent.
    double SecondsPerIteration(const std::string& name) const;

private:
    std::map<std::string, std::vector<benchmark::BenchmarkReporter::Run>> runs_;
};

// Registration and summary of each benchmark family.
void RegisterStampBenchmarks();
void PrintStampSummary(const BenchResults& results);
void RegisterShapeImageBenchmarks();
void PrintShapeImageSummary(const BenchResults& results);
