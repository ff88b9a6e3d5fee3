#include "hostile_files.h"

#include "store/companion_config.h"
#include "store/io_error.h"
#include "store/jpeg_picture.h"
#include "store/record_file.h"
#include "store/safe_file.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

namespace fs = std::filesystem;
using namespace wirtello;
using namespace wirtello::test;

namespace {

const std::vector<std::uint8_t> kOwn{'o', 'w', 'n'};

std::set<std::string> namesIn(const fs::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// The path named by the failure of `action`, or "" when it did not fail.
std::string failedPath(const std::function<void()>& action)
{
    try {
        action();
    } catch (const IoError& error) {
        return error.path().string();
    }
    return "";
}

} // namespace

TEST(SafeFile, LinksAreFollowedOnlyWhileTheyStayInsideTheirFolderTree)
{
    struct Row {
        const char* name;
        std::vector<std::pair<std::string, std::string>> links; // link in "prog", where it points ("@" = base folder)
        std::string file;                                       // what the program reads and writes, in "prog"
        bool inside;
    };
    const Row rows[] = {
        {"file leading out", {{"r.dat", "@/outside/victim.dat"}}, "r.dat", false},
        {"relative link leading out", {{"r.dat", "../outside/victim.dat"}}, "r.dat", false},
        {"chain leaving at its second link", {{"r.dat", "hop.dat"}, {"hop.dat", "@/outside/victim.dat"}}, "r.dat", false},
        {"folder leading out", {{"DOKUMENTY", "@/outside"}}, "DOKUMENTY/victim.dat", false},
        {"dangling link leading out", {{"r.dat", "@/outside/new.dat"}}, "r.dat", false},
        {"companion configuration", {{"skarbiec_config.dat", "@/outside/victim.dat"}}, "skarbiec_config.dat", false},
        {"file inside", {{"r.dat", "data/real.dat"}}, "r.dat", true},
        {"folder inside", {{"D", "data"}}, "D/real.dat", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SharedFolder shared;
        writeBytes(shared.victim, kOwn);
        writeBytes(shared.prog / "data/real.dat", kOwn);
        for (const auto& [link, to] : row.links)
            fs::create_symlink(to[0] == '@' ? shared.base.path().string() + to.substr(1) : to, shared.prog / link);
        const fs::path file = shared.prog / row.file;

        const std::vector<std::function<void()>> steps = {
            [&] { readRecord(file, 2); },
            [&] { writeRecord(file, std::vector<std::uint8_t>{9, 9}); },
            [&] { createZeroRecordIfMissing(file, 2); },
            [&] { writeCompanionConfig(shared.prog); },
        };
        if (row.inside) {
            EXPECT_EQ(readRecord(file, 3), kOwn);
            writeRecord(file, std::vector<std::uint8_t>{9, 9});
            EXPECT_EQ(readBytes(shared.prog / "data/real.dat"), (std::vector<std::uint8_t>{9, 9}));
            EXPECT_TRUE(fs::is_symlink(fs::symlink_status(shared.prog / row.links[0].first)));
            continue;
        }
        const bool configRow = row.file == "skarbiec_config.dat";
        EXPECT_EQ(failedPath(configRow ? steps[3] : steps[1]), file.string());
        if (!configRow) {
            EXPECT_EQ(failedPath(steps[0]), file.string());
            failedPath(steps[2]); // a write for a dangling link, nothing for one to a file
        }
        EXPECT_EQ(readBytes(shared.victim), kOwn);
        EXPECT_EQ(namesIn(shared.outside), std::set<std::string>{"victim.dat"});
    }
}

TEST(SafeFile, WhatIsReadIsARegularFileNeverAPipeSocketOrDevice)
{
    const std::vector<std::pair<const char*, std::function<void(const fs::path&)>>> readers = {
        {"record", [](const fs::path& p) { readRecord(p, 4); }},
        {"record for writing", [](const fs::path& p) { RegularFile(p, FileAccess::ReadWrite); }},
        {"record replaced", [](const fs::path& p) { writeRecord(p, std::vector<std::uint8_t>{1}); }},
        {"whole file", [](const fs::path& p) { readRegularFile(p, 1024); }},
        {"photo", [](const fs::path& p) { decodeJpegFile(p); }},
        {"photo in its frame", [](const fs::path& p) { decodeJpegFileToCover(p, 97, 125); }},
    };
    for (const std::string kind : {"pipe", "socket", "zero device"}) {
        for (const auto& [name, read] : readers) {
            SCOPED_TRACE(kind + ", " + name);
            TempFolder folder;
            const fs::path path = folder / "Admini.dat";
            if (!makeSpecialFile(kind, path)) {
                ADD_FAILURE() << "cannot make a " << kind << " here";
                continue;
            }
            // Devices only for readers of bounded size: an unbounded read of
            // zeros would eat the machine's memory rather than fail.
            if (kind == "zero device" && (std::string(name) == "whole file" || std::string(name).starts_with("photo")))
                continue;
            const auto start = std::chrono::steady_clock::now();
            {
                PipeReleaser release(path);
                EXPECT_EQ(failedPath([&] { read(path); }), path.string());
            }
            EXPECT_LT(std::chrono::steady_clock::now() - start, PipeReleaser::kPatience);
            EXPECT_FALSE(fs::is_regular_file(path)) << "replaced by a file";
        }
    }
}

TEST(SafeFile, AFileOverItsReadersLimitIsRefusedNamingIt)
{
    TempFolder folder;
    writeBytes(folder / "a.txt", std::vector<std::uint8_t>(2049, '\n'));
    EXPECT_EQ(readRegularFile(folder / "a.txt", 2049).size(), 2049u);
    try {
        readRegularFile(folder / "a.txt", 2048);
        ADD_FAILURE() << "a file over the limit was read";
    } catch (const IoError& error) {
        EXPECT_EQ(error.operation(), "Plik jest za duży (największy możliwy ma 2 KB)");
        EXPECT_EQ(error.path(), folder / "a.txt");
    }
}
