// What selecting a contact costs for its photo: a 12-megapixel phone photo
// against the small default picture, both shown in the 97 x 125 frame.

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

// A photo-like 4000 x 3000 JPEG: soft gradients with fine grain, quality 90,
// as a phone writes it.
std::vector<std::uint8_t> phonePhoto()
{
    const int width = 4000;
    const int height = 3000;
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = width;
    info.image_height = height;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::mt19937 random(42);
    std::uniform_int_distribution<int> grain(-12, 12);
    std::vector<std::uint8_t> row(width * 3);
    while (info.next_scanline < info.image_height) {
        const int y = static_cast<int>(info.next_scanline);
        for (int x = 0; x < width; ++x) {
            const double shade = 0.5 + 0.25 * std::sin(x / 170.0) + 0.2 * std::cos(y / 110.0 + x / 400.0);
            for (int c = 0; c < 3; ++c) {
                const int value = static_cast<int>(255 * shade * (0.7 + 0.15 * c)) + grain(random);
                row[x * 3 + c] = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
            }
        }
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(&info, &pointer, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<std::uint8_t> bytes(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return bytes;
}

const fs::path& photoPath()
{
    static const fs::path path = [] {
        const fs::path folder = fs::temp_directory_path() / "wirtello-bench";
        fs::create_directories(folder);
        const fs::path file = folder / "telefon_4000x3000.jpg";
        if (!fs::exists(file)) {
            const auto bytes = phonePhoto();
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
