// Reading an address book whose cards carry their photos: 50 cards with a
// megabyte of picture each, against reading the same bytes line by line (the
// floor no vCard reader can beat).

#include "summary.h"

#include "contact_import/contact_file.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

namespace {

std::string addressBookWithPictures()
{
    const std::string picture = "PHOTO;ENCODING=b;TYPE=JPEG:" + std::string(1 << 20, 'A') + "\r\n";
    std::string folded;
    for (std::size_t i = 0; i < picture.size(); i += 74)
        folded += (i ? " " : "") + picture.substr(i, 74) + (i + 74 < picture.size() ? "\r\n" : "");
    std::string file;
    for (int i = 0; i < 50; ++i)
        file += "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Osoba " + std::to_string(i) + "\r\n" + folded + "TEL:" +
                std::to_string(i) + "\r\nEND:VCARD\r\n";
    return file;
}

// Every line break found, as any reader of the file must at least do.
std::size_t countLines(const std::string& bytes)
{
    std::size_t lines = 0;
    for (std::size_t at = bytes.find('\n'); at != std::string::npos; at = bytes.find('\n', at + 1))
        ++lines;
    return lines;
}

void readPicturedAddressBook(benchmark::State& state)
{
    static const std::string file = addressBookWithPictures();
    wirtello::bench::PairedSamples samples;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const wirtello::ContactFileReading reading = wirtello::readContactBytes(file, 501, {});
        const auto read = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(countLines(file));
        const auto floor = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(reading.contacts.size());
        samples.add(std::chrono::duration<double, std::milli>(read - start).count(),
                    std::chrono::duration<double, std::milli>(floor - read).count());
    }
    wirtello::bench::reportFigure("vcard-50MB-pictures", "50 cards, 50 MB of pictures read",
                                  wirtello::bench::median(samples.ours), "ms");
    wirtello::bench::reportPair("vcard-50MB-pictures-vs-lines", "vCard reader", "line scan", samples, "ms", 20.0);
}

BENCHMARK(readPicturedAddressBook)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    wirtello::bench::printSummary();
    benchmark::Shutdown();
    return 0;
}
