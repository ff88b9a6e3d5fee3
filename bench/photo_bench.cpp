// What selecting a contact costs for its photo: a 12-megapixel phone photo
// against the small default picture, both shown in the 97 x 125 frame.

#include "office_folder.h"
#include "summary.h"

#include "store/jpeg_picture.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace {

namespace fs = std::filesystem;

constexpr int kFrameWidth = 97;
constexpr int kFrameHeight = 125;

const fs::path& photoPath()
{
    static const fs::path path = [] {
        const fs::path folder = fs::temp_directory_path() / "wirtello-bench";
        fs::create_directories(folder);
        const fs::path file = folder / "telefon_4000x3000.jpg";
        if (!fs::exists(file)) {
            const auto bytes = wirtello::bench::phonePhotoJpeg();
            std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        }
        return file;
    }();
    return path;
}

const fs::path& defaultPath()
{
    static const fs::path path = WIRTELLO_DEFAULT_PICTURE;
    return path;
}

const fs::path& pathFor(int which) { return which == 0 ? defaultPath() : photoPath(); }

// The first select of a contact: read the file, decode as much as the frame needs, stretch.
void firstSelect(benchmark::State& state)
{
    const fs::path& path = pathFor(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        wirtello::FramePictureCache cache;
        benchmark::DoNotOptimize(cache.picture(path, kFrameWidth, kFrameHeight).rgb.data());
    }
}

// Selecting it again while moving through the list: the kept picture.
void selectAgain(benchmark::State& state)
{
    const fs::path& path = pathFor(static_cast<int>(state.range(0)));
    wirtello::FramePictureCache cache;
    cache.picture(path, kFrameWidth, kFrameHeight);
    for (auto _ : state) {
        wirtello::Picture copy = cache.picture(path, kFrameWidth, kFrameHeight); // the window takes a copy
        benchmark::DoNotOptimize(copy.rgb.data());
    }
}

// What every select cost before: the whole photo decoded at full size.
void fullSizeDecode(benchmark::State& state)
{
    const fs::path& path = pathFor(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(wirtello::decodeJpegFile(path).rgb.data());
}

BENCHMARK(firstSelect)->ArgName("photo")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(selectAgain)->ArgName("photo")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(fullSizeDecode)->ArgName("photo")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Prints the usual table, then photo : default picture for each way of selecting.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                times_[run.benchmark_name()] = run.GetAdjustedCPUTime(); // in each run's unit
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        // Processor time: the machine may be busy with other work. Only the
        // decoding itself; the window's select is measured by bench_program.
        for (const char* name : {"firstSelect", "selectAgain", "fullSizeDecode"}) {
            const auto small = times_.find(std::string(name) + "/photo:0");
            const auto large = times_.find(std::string(name) + "/photo:1");
            if (small == times_.end() || large == times_.end() || small->second <= 0)
                continue;
            const std::string what = std::string("decoder alone, ") + name;
            const std::string unit = std::string(name) == "selectAgain" ? "us" : "ms";
            wirtello::bench::reportFigure(what + " default", what + ", default picture", small->second, unit);
            wirtello::bench::reportFigure(what + " photo", what + ", 12-megapixel photo", large->second, unit);
            wirtello::bench::reportFigure(what, what + ", photo : default", large->second / small->second, "x");
        }
        wirtello::bench::printSummary();
    }

private:
    std::map<std::string, double> times_;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    std::printf("photo: %s (%ju bytes)\n", photoPath().c_str(), static_cast<std::uintmax_t>(fs::file_size(photoPath())));
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
