// Start-up to the main window's first paint with 501 contacts, and the peak
// memory of that start, against a bare Qt window of the same size. Each run
// is a whole new process started in a prepared program folder; the two
// programs take turns so that both see the same load.

#include "office_folder.h"
#include "summary.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>

#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace wirtello::bench;

struct Start {
    double milliseconds = 0; // process start to first paint
    double peakKiB = 0;      // peak resident memory of the whole process
};

// Runs `program` in `folder` until it exits; it reports its first paint on stdout.
Start runOnce(const fs::path& program, const fs::path& folder, const char* argument = nullptr)
{
    int out[2];
    if (::pipe(out) != 0)
        throw std::runtime_error("pipe");
    const auto started = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child < 0)
        throw std::runtime_error("fork");
    if (child == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::close(out[1]);
        if (::chdir(folder.c_str()) != 0)
            ::_exit(126);
        ::execl(program.c_str(), program.c_str(), argument, static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(out[1]);
    std::string output;
    char buffer[256];
    pollfd waiting{out[0], POLLIN, 0};
    while (output.find('\n') == std::string::npos && ::poll(&waiting, 1, 60'000) > 0) {
        const ssize_t got = ::read(out[0], buffer, sizeof buffer);
        if (got <= 0)
            break;
        output.append(buffer, static_cast<std::size_t>(got));
    }
    // It ends by itself; one that does not is stopped after a while.
    for (int tenths = 0; tenths < 100; ++tenths) {
        siginfo_t info{};
        if (::waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOHANG | WNOWAIT) != 0 || info.si_pid != 0)
            break;
        ::usleep(100'000);
    }
    ::close(out[0]);
    ::kill(child, SIGKILL); // a no-op once it has ended; a hung probe is stopped
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    const auto at = output.find("first-paint ");
    if (at == std::string::npos)
        throw std::runtime_error(program.string() + " never painted its window");
    const long long paintedNs = std::atoll(output.c_str() + at + 12);
    const long long startedNs =
        std::chrono::duration_cast<std::chrono::nanoseconds>(started.time_since_epoch()).count();
    return {static_cast<double>(paintedNs - startedNs) / 1e6, static_cast<double>(usage.ru_maxrss)};
}

void startUp(benchmark::State& state)
{
    const fs::path program = WIRTELLO_START_PROBE;
    const fs::path bare = WIRTELLO_BARE_PROBE;
    const fs::path folder = makeOfficeFolder("start-up");
    const fs::path bareFolder = makeOfficeFolder("bare", 0);
    // The first start writes the files a new user's program folder lacks;
    // the measured ones find them, as every later start does. One more of
    // each warms the file cache.
    runOnce(program, folder);
    runOnce(program, folder);
    runOnce(bare, bareFolder);

    PairedSamples time;
    PairedSamples memory;
    PairedSamples textTime; // against a bare window showing one line of text
    PairedSamples textMemory;
    bool programFirst = false;
    for (auto _ : state) {
        Start ours;
        Start floor;
        programFirst = !programFirst;
        if (programFirst) {
            ours = runOnce(program, folder);
            floor = runOnce(bare, bareFolder);
        } else {
            floor = runOnce(bare, bareFolder);
            ours = runOnce(program, folder);
        }
        const Start text = runOnce(bare, bareFolder, "--text");
        state.SetIterationTime(ours.milliseconds / 1000.0);
        time.add(ours.milliseconds, floor.milliseconds);
        memory.add(ours.peakKiB / 1024.0, floor.peakKiB / 1024.0);
        textTime.add(ours.milliseconds, text.milliseconds);
        textMemory.add(ours.peakKiB / 1024.0, text.peakKiB / 1024.0);
    }
    state.counters["bare_ms"] = median(time.floor);
    state.counters["ratio"] = time.ratio();
    state.counters["peak_MiB"] = median(memory.ours);
    state.counters["bare_peak_MiB"] = median(memory.floor);
    // The goals: against a bare window showing one line of text, since any
    // window with text pays for starting the font system.
    reportPair("start-up to first paint, 501 contacts : bare window with one line of text",
               "start-up to first paint, program, 501 contacts",
               "start-up to first paint, bare Qt window 1001x669 with one line of text", textTime, "ms", 1.3);
    reportPair("peak resident memory of that start : bare window with one line of text",
               "peak resident memory, program, 501 contacts",
               "peak resident memory, bare Qt window with one line of text", textMemory, "MiB", 1.2);
    // For context: a bare window without any text.
    reportFigure("(context) bare window start-up", "start-up to first paint, bare Qt window without text",
                 median(time.floor), "ms");
    reportFigure("(context) bare window memory", "peak resident memory, bare Qt window without text",
                 median(memory.floor), "MiB");
}

BENCHMARK(startUp)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    // Offscreen on an office screen unless told otherwise (QT_QPA_PLATFORM=xcb
    // under a display): steadier figures, no display needed, and a screen the
    // main window fits on, as it does in an office.
    ::setenv("QT_QPA_PLATFORM", "offscreen:configfile=" WIRTELLO_OFFICE_SCREEN, 0);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    std::printf("Qt platform: %s\n", std::getenv("QT_QPA_PLATFORM"));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printSummary();
    return 0;
}
