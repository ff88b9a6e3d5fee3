// A program killed at any moment while it stores leaves every file whole, and
// the next start clears what the unfinished write left behind.
#include "child_process.h"
#include "stress_contents.h"

#include "app/startup.h"
#include "store/record_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <thread>

#include <unistd.h>

namespace wirtello::test {
namespace {

namespace fs = std::filesystem;

constexpr int kKills = 200;

// A kill needs no disk flush to be survived (the system keeps what was
// written), so the loop runs on a memory file system where there is one: the
// same rename, much less waiting.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::error_code ec;
        const fs::path memory = "/dev/shm";
        const fs::path base = fs::is_directory(memory, ec) && ::access(memory.c_str(), W_OK) == 0
            ? memory
            : fs::temp_directory_path();
        path_ = base / ("wirtello-stress-" + std::to_string(std::random_device{}()));
        for (const char* subfolder : {"Admini", "NOTATKI", "DOKUMENTY"})
            fs::create_directories(path_ / subfolder);
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// What a killed loop confirmed: the last database round and the last number
// it reported as stored.
struct Confirmed {
    std::int64_t round;
    std::int64_t number;

    void take(const std::string& line)
    {
        std::istringstream words(line);
        std::string what;
        std::int64_t value = 0;
        if (!(words >> what >> value))
            return;
        if (what == "d")
            round = value;
        else if (what == "n")
            number = value + 1;
    }
};

std::vector<fs::path> leftovers(const fs::path& folder)
{
    std::vector<fs::path> found;
    for (const char* subfolder : {"NOTATKI", "DOKUMENTY"})
        for (const fs::directory_entry& entry : fs::directory_iterator(folder / subfolder))
            if (isTemporaryFileName(entry.path()))
                found.push_back(entry.path());
    return found;
}

// The whole file, read at once.
std::vector<std::uint8_t> fileBytes(const fs::path& path)
{
    std::vector<std::uint8_t> bytes(fs::file_size(path));
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file || std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
        throw std::runtime_error("cannot read " + path.string());
    return bytes;
}

// The file holds what the loop confirmed last, or the step it was killed in
// after the rename; returns which one, or -1.
template <typename Contents>
std::int64_t matchingStep(const std::vector<std::uint8_t>& bytes, std::int64_t confirmed, Contents&& contents)
{
    for (const std::int64_t step : {confirmed, confirmed + 1})
        if (bytes == contents(step))
            return step;
    return -1;
}

// The database bytes of the last rounds asked for, made once each.
class RoundCache {
public:
    const std::vector<std::uint8_t>& operator()(std::int64_t round)
    {
        while (!made_.empty() && made_.begin()->first < round - 2)
            made_.erase(made_.begin());
        auto found = made_.find(round);
        if (found == made_.end())
            found = made_.emplace(round, roundDatabaseBytes(round)).first;
        return found->second;
    }

private:
    std::map<std::int64_t, std::vector<std::uint8_t>> made_;
};

TEST(CrashSafety, KillsAtRandomMomentsLeaveWholeFilesAndTheNextStartClearsTheLeftovers)
{
    ScratchFolder folder;
    const fs::path database = contactDatabasePath(folder.path());
    const fs::path numbering = numberingPath(folder.path(), DocumentKind::Kp);
    writeRecord(numbering, numberingBytes(1, kLoopExtension));
    const auto numberingContents = [](std::int64_t number) {
        return numberingBytes(static_cast<std::int32_t>(number), kLoopExtension);
    };

    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    roundDatabase(0).store(database);
    writeRecord(numbering, numberingBytes(1, kLoopExtension));

    // Each loop lives through 0 to 2 whole rounds it reports, then a random
    // moment of the next one, measured on the rounds it reported: so kills land
    // in every step of both stores and the files move on however slow or busy
    // the machine is. The time is never judged, only used to spread the kills.
    std::uniform_int_distribution<int> roundsToWaitFor(0, 2);
    std::chrono::steady_clock::duration roundLength = std::chrono::milliseconds(1);
    RoundCache rounds;
    std::int64_t round = 0;  // the round the database file holds
    std::int64_t number = 1; // the number the numbering file holds
    std::int64_t roundsWaitedFor = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        SCOPED_TRACE("kill " + std::to_string(kill));
        ChildProcess loop(WIRTELLO_STORE_LOOP, {"crash", folder.path().string(), std::to_string(round + 1)});
        ASSERT_EQ(loop.readLine(), "r");
        Confirmed confirmed{round, number};
        const int wanted = roundsToWaitFor(random);
        auto roundStart = std::chrono::steady_clock::now();
        for (int whole = 0; whole < wanted;) {
            const std::string line = loop.readLine();
            ASSERT_FALSE(line.empty()) << "the loop ended by itself";
            confirmed.take(line);
            if (line.starts_with("n")) {
                ++whole;
                const auto now = std::chrono::steady_clock::now();
                roundLength = now - roundStart;
                roundStart = now;
            }
        }
        roundsWaitedFor += wanted;
        std::uniform_int_distribution<std::int64_t> moment(0, std::chrono::nanoseconds(roundLength).count());
        std::this_thread::sleep_for(std::chrono::nanoseconds(moment(random)));
        loop.kill();
        ASSERT_TRUE(killedBySigkill(loop.wait())) << "the loop ended by itself";
        std::istringstream rest(loop.readRest());
        for (std::string line; std::getline(rest, line);)
            confirmed.take(line);

        round = matchingStep(fileBytes(database), confirmed.round, rounds);
        ASSERT_GE(round, 0) << "the database is neither round " << confirmed.round << " nor the next";
        number = matchingStep(fileBytes(numbering), confirmed.number, numberingContents);
        ASSERT_GE(number, 0) << "the numbering file holds neither " << confirmed.number << " nor the next";
    }
    // Every round a loop reported is in the files.
    EXPECT_GE(round, roundsWaitedFor);
    EXPECT_GE(number, roundsWaitedFor + 1);
    // Otherwise no kill hit a write and the test proved nothing.
    const std::size_t killedWhileWriting = leftovers(folder.path()).size();
    ASSERT_GT(killedWhileWriting, 0u);

    // A start right away keeps them: they could be another program's writes in progress.
    const std::vector<std::uint8_t> databaseBytes = fileBytes(database);
    std::vector<IoError> reported;
    const auto report = [&reported](const IoError& error) { reported.push_back(error); };
    {
        AppData data(folder.path());
        prepareProgramFolder(data, report);
        ASSERT_TRUE(data.contacts.isLoaded());
        EXPECT_TRUE(std::equal(databaseBytes.begin(), databaseBytes.end(), data.contacts.database().bytes().begin()));
        EXPECT_EQ(leftovers(folder.path()).size(), killedWhileWriting);
    }
    // A start a while later removes them and touches nothing else.
    const std::vector<std::uint8_t> numberingBefore = fileBytes(numbering);
    for (const fs::path& leftover : leftovers(folder.path()))
        fs::last_write_time(leftover, fs::file_time_type::clock::now() - std::chrono::minutes(2));
    {
        AppData data(folder.path());
        prepareProgramFolder(data, report);
        ASSERT_TRUE(data.contacts.isLoaded());
    }
    EXPECT_TRUE(leftovers(folder.path()).empty());
    EXPECT_EQ(fileBytes(database), databaseBytes);
    EXPECT_EQ(fileBytes(numbering), numberingBefore);
    EXPECT_TRUE(reported.empty()) << reported.front().what();
}

// The first number of a new data folder: a kill while the file is created
// leaves no file (the next window creates it) or the whole first record, never
// an empty one that would refuse every later printout.
TEST(CrashSafety, KillsWhileTheNumberingFileIsCreatedLeaveNoneOrAWholeOne)
{
    ScratchFolder folder;
    const fs::path numbering = numberingPath(folder.path(), DocumentKind::Kp);
    const std::vector<std::uint8_t> first = numberingBytes(1, "");
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> life(0, 2000);
    for (int kill = 0; kill < kKills / 2; ++kill) {
        ChildProcess loop(WIRTELLO_STORE_LOOP, {"create", folder.path().string()});
        ASSERT_EQ(loop.readLine(), "r");
        std::this_thread::sleep_for(std::chrono::microseconds(life(random)));
        loop.kill();
        ASSERT_TRUE(killedBySigkill(loop.wait())) << "the loop ended by itself";
        if (fs::exists(numbering)) {
            ASSERT_EQ(fileBytes(numbering), first) << "after kill " << kill;
        }
    }
    for (const fs::path& leftover : leftovers(folder.path()))
        fs::last_write_time(leftover, fs::file_time_type::clock::now() - std::chrono::minutes(2));
    removeStaleTemporaryFiles(folder.path() / "DOKUMENTY");
    EXPECT_TRUE(leftovers(folder.path()).empty());
}

} // namespace
} // namespace wirtello::test
