// core_bench: stamp throughput and shape image build times. After the usual console
// output it prints the ratio tables (keyed against plain stamp, seven images against one).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "bench/bench_results.h"

namespace {

double Median(std::vector<double> v) {
    if (v.empty()) return std::numeric_limits<double>::quiet_NaN();
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double Seconds(const benchmark::BenchmarkReporter::Run& run) {
    double scale = 1.0;
    switch (run.time_unit) {
        case benchmark::kNanosecond: scale = 1e-9; break;
        case benchmark::kMicrosecond: scale = 1e-6; break;
        case benchmark::kMillisecond: scale = 1e-3; break;
        case benchmark::kSecond: scale = 1.0; break;
    }
    return run.GetAdjustedRealTime() * scale;
}

// The usual console table, and every plain (non-aggregate) run kept for the summary.
class CollectingReporter : public benchmark::ConsoleReporter {
public:
    explicit CollectingReporter(BenchResults& results) : ConsoleReporter(OO_Tabular), results_(results) {}
    void ReportRuns(const std::vector<Run>& reports) override {
        ConsoleReporter::ReportRuns(reports);
        for (const Run& r : reports)
            if (r.run_type == Run::RT_Iteration && !r.error_occurred) results_.Add(r);
    }

private:
    BenchResults& results_;
};

}  // namespace

void BenchResults::Add(const benchmark::BenchmarkReporter::Run& run) { runs_[run.benchmark_name()].push_back(run); }

double BenchResults::Counter(const std::string& name, const std::string& counter) const {
    std::vector<double> values;
    auto it = runs_.find(name);
    if (it != runs_.end())
        for (const auto& r : it->second) {
            auto c = r.counters.find(counter);
            if (c != r.counters.end()) values.push_back(c->second.value);
        }
    return Median(values);
}

double BenchResults::SecondsPerIteration(const std::string& name) const {
    std::vector<double> values;
    auto it = runs_.find(name);
    if (it != runs_.end())
        for (const auto& r : it->second) values.push_back(Seconds(r));
    return Median(values);
}

int main(int argc, char** argv) {
    RegisterStampBenchmarks();
    RegisterShapeImageBenchmarks();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    BenchResults results;
    CollectingReporter reporter(results);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::printf("\n");
    PrintStampSummary(results);
    std::printf("\n");
    PrintShapeImageSummary(results);
    return 0;
}
