#include "summary.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace wirtello::bench {
namespace {

std::vector<std::pair<std::string, std::vector<std::string>>>& lines()
{
    static std::vector<std::pair<std::string, std::vector<std::string>>> recorded;
    return recorded;
}

void record(const std::string& key, std::vector<std::string> text)
{
    for (auto& [existing, old] : lines()) {
        if (existing == key) {
            old = std::move(text);
            return;
        }
    }
    lines().emplace_back(key, std::move(text));
}

std::string format(const char* pattern, auto... values)
{
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, pattern, values...);
    return buffer;
}

std::string figureLine(const std::string& label, double value, const std::string& unit, const std::string& note)
{
    return format("figure  %-58s %10.3f %-3s%s%s", label.c_str(), value, unit.c_str(), note.empty() ? "" : "  ",
                  note.c_str());
}

std::string ratioLine(const std::string& label, double value, double goal, Limit limit, const std::string& note)
{
    const bool met = limit == Limit::AtMost ? value <= goal : value < goal;
    return format("ratio   %-58s %10.3f     goal %s %.2f  %s%s%s", label.c_str(), value,
                  limit == Limit::AtMost ? "<=" : "<", goal, met ? "met" : "MISSED", note.empty() ? "" : "  ",
                  note.c_str());
}

} // namespace

double quantile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return std::nan("");
    std::sort(values.begin(), values.end());
    const double position = fraction * static_cast<double>(values.size() - 1);
    const auto below = static_cast<std::size_t>(std::floor(position));
    const auto above = std::min(below + 1, values.size() - 1);
    return values[below] + (values[above] - values[below]) * (position - static_cast<double>(below));
}

double median(std::vector<double> values)
{
    return quantile(std::move(values), 0.5);
}

double PairedSamples::ratio() const
{
    return median(ours) / median(floor);
}

std::pair<double, double> PairedSamples::ratioQuartiles() const
{
    std::vector<double> ratios;
    for (std::size_t i = 0; i < ours.size() && i < floor.size(); ++i)
        ratios.push_back(ours[i] / floor[i]);
    return {quantile(ratios, 0.25), quantile(ratios, 0.75)};
}

void reportPair(const std::string& key, const std::string& oursLabel, const std::string& floorLabel,
                const PairedSamples& samples, const std::string& unit, double goal, Limit limit)
{
    const auto [low, high] = samples.ratioQuartiles();
    const std::string count = format("median of %zu", samples.ours.size());
    record(key, {figureLine(floorLabel, median(samples.floor), unit, count),
                 figureLine(oursLabel, median(samples.ours), unit, count),
                 ratioLine(key, samples.ratio(), goal, limit,
                           format("single pairs: quartiles %.3f .. %.3f", low, high))});
}

void reportFigure(const std::string& key, const std::string& label, double value, const std::string& unit,
                  const std::string& note)
{
    record(key, {figureLine(label, value, unit, note)});
}

void reportRatio(const std::string& key, const std::string& label, double value, double goal, Limit limit,
                 const std::string& note)
{
    record(key, {ratioLine(label, value, goal, limit, note)});
}

void printSummary()
{
    std::printf("\n");
    for (const auto& [key, text] : lines())
        for (const std::string& line : text)
            std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

} // namespace wirtello::bench
