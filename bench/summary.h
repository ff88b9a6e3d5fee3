#pragma once

// The figures and ratios a benchmark program reports once all its benchmarks
// have run: one line each, so scripts/bench's output can be read and grepped.

#include <string>
#include <vector>

namespace wirtello::bench {

double median(std::vector<double> values);
// The value below which `fraction` of the values lie (0.25: lower quartile).
double quantile(std::vector<double> values, double fraction);

// Two ways of doing one thing timed alternately, so that both see the same
// load on a busy machine. Times in any one unit.
struct PairedSamples {
    std::vector<double> ours;
    std::vector<double> floor;

    void add(double oursValue, double floorValue)
    {
        ours.push_back(oursValue);
        floor.push_back(floorValue);
    }
    // Median of ours : median of floor.
    double ratio() const;
    // Quartiles of the ratios of single pairs: how noisy the figure was.
    std::pair<double, double> ratioQuartiles() const;
};

enum class Limit { AtMost, Below };

// Records "figure" lines for both sides and a "ratio" line against its goal.
// A later report under the same key replaces an earlier one (Google Benchmark
// may call a benchmark more than once).
void reportPair(const std::string& key, const std::string& oursLabel, const std::string& floorLabel,
                const PairedSamples& samples, const std::string& unit, double goal, Limit limit = Limit::AtMost);
void reportFigure(const std::string& key, const std::string& label, double value, const std::string& unit,
                  const std::string& note = {});
void reportRatio(const std::string& key, const std::string& label, double value, double goal, Limit limit,
                 const std::string& note = {});

// Prints every recorded line in the order first reported.
void printSummary();

} // namespace wirtello::bench
