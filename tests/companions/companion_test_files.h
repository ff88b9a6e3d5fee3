#pragma once

// File helpers the companions' tests share: texts on disk and, where the test
// target names the independent reader (ICAL_READ_BACK), a calendar as it reads it.

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace wirtello::test {

inline std::string readText(const std::filesystem::path& file)
{
    const std::vector<std::uint8_t> bytes = readBytes(file);
    return {bytes.begin(), bytes.end()};
}

// Writes `text` as the file's bytes, making its folder first.
inline void writeText(const std::filesystem::path& file, const std::string& text)
{
    std::filesystem::create_directories(file.parent_path());
    writeBytes(file, {text.begin(), text.end()});
}

// The calendar tests' fixed moment: 2026-12-07 00:00 UTC.
inline const auto kCalendarNow = std::chrono::system_clock::from_time_t(1796601600);

// Local time is Polish time while it lives.
struct WarsawTime {
    WarsawTime() { setenv("TZ", "Europe/Warsaw", 1); }
    ~WarsawTime() { unsetenv("TZ"); }
    WarsawTime(const WarsawTime&) = delete;
    WarsawTime& operator=(const WarsawTime&) = delete;
};

#ifdef ICAL_READ_BACK
// The calendar file as the independent reader lists it, one line per item.
inline std::string readBackCalendar(const std::filesystem::path& file)
{
    const std::string command = std::string("/usr/bin/python3 " ICAL_READ_BACK " ") + file.string();
    std::FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    std::array<char, 4096> buffer{};
    while (pipe && std::fgets(buffer.data(), buffer.size(), pipe))
        out += buffer.data();
    EXPECT_EQ(pipe ? pclose(pipe) : -1, 0) << out;
    return out;
}
#endif

} // namespace wirtello::test
