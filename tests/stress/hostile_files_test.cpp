// Every reader and writer of the program's files, faced with what a hostile
// user of a shared folder can put in their place: links leading out of the
// folder, named pipes, sockets and devices. All of it is made inside the
// test's own temporary folder.
#include "admin/network_mode.h"
#include "admin/update_info.h"
#include "cash/numbering_file.h"
#include "cash/text_lines.h"
#include "contact_import/contact_file.h"
#include "contact_import/import_plan.h"
#include "envelope/logo_picture.h"
#include "store/companion_config.h"
#include "store/io_error.h"
#include "store/program_folder.h"
#include "store/record_file.h"
#include "store/safe_file.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <functional>
#include <thread>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace wirtello;
using namespace wirtello::test;

namespace {

const std::vector<std::uint8_t> kOwn{'o', 'w', 'n', ' ', 'f', 'i', 'l', 'e', ' ', '1', '5', 'b', 'y', 't', 'e'};

// A program folder "prog", registered as a folder tree, beside a folder
// "outside" holding a file no write of the program may reach.
struct SharedFolder {
    TempFolder base{"prog/Admini", "prog/DOKUMENTY", "prog/NOTATKI", "prog/LOGO", "prog/data", "outside"};
    fs::path prog = trustFolderTree(base / "prog");
    fs::path outside = base / "outside";
    fs::path victim = outside / "victim.dat";
};

// Makes a "pipe", "socket" or "zero device" at `path`.
bool makeSpecialFile(const std::string& kind, const fs::path& path)
{
    if (kind == "pipe")
        return ::mkfifo(path.c_str(), 0600) == 0;
    if (kind == "zero device")
        return ::mknod(path.c_str(), S_IFCHR | 0600, makedev(1, 5)) == 0;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.string().copy(address.sun_path, sizeof(address.sun_path) - 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return bound;
}

// Lets go of a reader blocked on the pipe after two seconds, so a reader that
// waits on a pipe fails by the time taken instead of hanging the test run.
// A reader stuck on a pipe is set free after a long wait by opening the
// writing end, and that is recorded: a reader that never blocks never meets
// the releaser, however slow the machine.
class PipeReleaser {
public:
    static constexpr std::chrono::seconds kPatience{30};
    explicit PipeReleaser(fs::path pipe)
        : thread_([this, pipe = std::move(pipe)](std::stop_token stop) {
              std::mutex mutex;
              std::unique_lock lock(mutex);
              std::condition_variable_any().wait_for(lock, stop, kPatience, [] { return false; });
              for (; !stop.stop_requested(); std::this_thread::sleep_for(std::chrono::milliseconds(10)))
                  if (const int fd = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK); fd >= 0) {
                      released_ = true;
                      ::close(fd);
                  }
          })
    {
    }
    bool released() const { return released_; }

private:
    std::atomic<bool> released_ = false;
    std::jthread thread_;
};

// "operation: path" of the IoError that `action` raised, or "" when none.
std::string failure(const std::function<void()>& action)
{
    try {
        action();
    } catch (const IoError& error) {
        return error.operation() + ": " + error.path().string();
    }
    return "";
}

} // namespace

TEST(HostileFiles, WhatIsReadIsARegularFileNeverAPipeSocketOrDevice)
{
    using Reader = std::function<void(const fs::path&)>;
    const std::vector<std::tuple<const char*, const char*, Reader>> readers = {
        {"record", "Admini\\historia.dat", [](const fs::path& p) { readRecord(p, 4); }},
        {"record replaced", "Admini\\historia.dat", [](const fs::path& p) { writeRecord(p, kOwn); }},
        {"network mode", "Admini\\siec.dat", [](const fs::path& p) { loadNetworkMode(p.parent_path().parent_path()); }},
        {"numbering", "DOKUMENTY\\nrkp.dat", [](const fs::path& p) { takeDocumentNumber(p); }},
        {"fixed contents", "DOKUMENTY\\kptresc.dat", [](const fs::path& p) { readTextLines(p, kFixedContentsLimit); }},
        {"edited text", "NOTATKI\\notatka.txt", [](const fs::path& p) { readTextLines(p); }},
        {"update information", "Admini\\27.txt", [](const fs::path& p) { readUpdateInfo(p); }},
        {"contact file", "NOTATKI\\kontakty.csv", [](const fs::path& p) { readContactFile(p, 10, {}); }},
        {"logo", "LOGO\\logo.jpg", [](const fs::path& p) { loadLogoPicture(p); }},
        {"photo", "LOGO\\anna.jpg", [](const fs::path& p) { decodeJpegFile(p); }},
        {"photo in its frame", "LOGO\\anna.jpg", [](const fs::path& p) { decodeJpegFileToCover(p, 97, 125); }},
    };
    for (const std::string kind : {"pipe", "socket", "zero device"}) {
        for (const auto& [name, file, read] : readers) {
            // Only readers of a bounded size meet a device: the old unbounded
            // reads of zeros would eat the machine's memory rather than fail.
            if (kind == "zero device" && std::string(name) != "record" && std::string(name) != "numbering")
                continue;
            SCOPED_TRACE(kind + ", " + name);
            SharedFolder shared;
            const fs::path path = joinPath(shared.prog, file);
            ASSERT_TRUE(makeSpecialFile(kind, path));
            PipeReleaser release(path);
            const std::string failed = failure([&] { read(path); });
            EXPECT_TRUE(failed.starts_with("Nie można")) << failed;
            EXPECT_TRUE(failed.ends_with(": " + path.string())) << failed;
            EXPECT_FALSE(release.released()) << "the reader waited on the pipe";
        }
    }
    // The network folder's own record is checked the same way: a pipe there is no server.
    SharedFolder network;
    ASSERT_TRUE(makeSpecialFile("pipe", network.prog / "Admini/siec.dat"));
    EXPECT_FALSE(networkFolderReachable(network.prog));
}

TEST(HostileFiles, LinksAreFollowedOnlyWhileTheyStayInsideTheirFolderTree)
{
    using Step = std::function<void(const fs::path& file)>;
    const Step read = [](const fs::path& f) { readRecord(f, 3); };
    const Step write = [](const fs::path& f) { writeRecord(f, std::vector<std::uint8_t>{9, 9}); };
    const Step number = [](const fs::path& f) {
        createNumberingFileIfMissing(f);
        takeDocumentNumber(f);
    };
    const Step lines = [](const fs::path& f) { writeTextLines(f, {"x"}); };
    const Step config = [](const fs::path& f) { writeCompanionConfig(f.parent_path()); };
    const Step network = [](const fs::path& f) {
        NetworkModeRecord record;
        switchToLocalMode(record, f.parent_path().parent_path());
    };
    struct Row {
        const char* name;
        std::vector<std::pair<std::string, std::string>> links; // link in "prog", where it points ("@" = base folder)
        std::string file;                                       // in "prog"
        std::vector<Step> steps;
        bool inside = false;
    };
    const Row rows[] = {
        {"file leading out", {{"r.dat", "@/outside/victim.dat"}}, "r.dat", {read, write}},
        {"relative link leading out", {{"r.dat", "../outside/victim.dat"}}, "r.dat", {read, write}},
        {"chain leaving at its second link", {{"r.dat", "hop.dat"}, {"hop.dat", "@/outside/victim.dat"}}, "r.dat", {read, write}},
        {"dangling link leading out", {{"r.dat", "@/outside/new.dat"}}, "r.dat", {write}},
        {"numbering", {{"DOKUMENTY/nrkp.dat", "@/outside/victim.dat"}}, "DOKUMENTY/nrkp.dat", {number}},
        {"numbering folder", {{"D", "@/outside"}}, "D/victim.dat", {number, read, write}},
        {"new numbering", {{"DOKUMENTY/nrkw.dat", "@/outside/new.dat"}}, "DOKUMENTY/nrkw.dat", {number}},
        {"fixed contents", {{"DOKUMENTY/kptresc.dat", "@/outside/victim.dat"}}, "DOKUMENTY/kptresc.dat", {lines}},
        {"network mode", {{"Admini/siec.dat", "@/outside/victim.dat"}}, "Admini/siec.dat", {network}},
        {"companion configuration", {{"skarbiec_config.dat", "@/outside/victim.dat"}}, "skarbiec_config.dat", {config}},
        {"file inside", {{"r.dat", "data/real.dat"}}, "r.dat", {read, write}, true},
        {"folder inside", {{"D", "data"}}, "D/real.dat", {read, write}, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SharedFolder shared;
        writeBytes(shared.victim, kOwn);
        writeBytes(shared.prog / "data/real.dat", kOwn);
        for (const auto& [link, to] : row.links)
            fs::create_symlink(to[0] == '@' ? shared.base.path().string() + to.substr(1) : to, shared.prog / link);
        const fs::path file = shared.prog / row.file;
        for (const Step& step : row.steps) {
            const std::string failed = failure([&] { step(file); });
            EXPECT_EQ(failed.empty(), row.inside) << failed;
            EXPECT_TRUE(row.inside || failed.ends_with(": " + file.string())) << failed;
        }
        EXPECT_EQ(readBytes(shared.victim), kOwn);
        EXPECT_FALSE(fs::exists(shared.outside / "new.dat"));
        EXPECT_EQ(readBytes(shared.prog / "data/real.dat").size(), row.inside ? 2u : kOwn.size());
    }
}

TEST(HostileFiles, TextFilesOverTheirReadersLimitsAreRefused)
{
    const auto fixed = [](const fs::path& p) { readTextLines(p, kFixedContentsLimit); };
    const auto edited = [](const fs::path& p) { readTextLines(p); };
    const auto update = [](const fs::path& p) { readUpdateInfo(p); };
    const std::vector<std::tuple<const char*, std::size_t, std::string, std::function<void(const fs::path&)>, std::string>> rows = {
        {"blank lines for Wstaw treść", 10 << 20, "\r\n", fixed, "Plik jest za duży (największy możliwy ma 256 KB)"},
        {"too many fixed contents", 5001 * 3, "x\r\n", fixed, "Plik ma za dużo wierszy (najwięcej 5000)"},
        {"the most fixed contents", 5000 * 3, "x\r\n", fixed, ""},
        {"blank lines in the editor", 60'000, "\n", edited, "Plik ma za dużo wierszy (najwięcej 50000)"},
        {"a long text in the editor", (1 << 20) + 1, "a", edited, "Plik jest za duży (największy możliwy ma 1 MB)"},
        {"the longest text in the editor", 1 << 20, "a", edited, ""},
        {"update information", 16 * 1024 + 1, "a", update, "Plik jest za duży (największy możliwy ma 16 KB)"},
    };
    for (const auto& [name, size, line, read, refusal] : rows) {
        SCOPED_TRACE(name);
        TempFolder folder;
        std::vector<std::uint8_t> bytes(size);
        for (std::size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<std::uint8_t>(line[i % line.size()]);
        writeBytes(folder / "t.txt", bytes);
        EXPECT_EQ(failure([&] { read(folder / "t.txt"); }), refusal.empty() ? "" : refusal + ": " + (folder / "t.txt").string());
    }
}

TEST(HostileFiles, ImportLeavesOutPhotoPathsOfDevicesAndPipes)
{
    TempFolder folder({"LOGO"});
    writeBytes(folder / "LOGO/anna.jpg", {0xFF, 0xD8});
    ASSERT_TRUE(makeSpecialFile("pipe", folder / "fifo"));
    ASSERT_TRUE(makeSpecialFile("zero device", folder / "zero"));
    const std::vector<std::pair<fs::path, bool>> photos = {
        {folder / "fifo", false}, {folder / "zero", false}, {folder / "LOGO", false},
        {folder / "LOGO/anna.jpg", true}, {folder / "LOGO/brak.jpg", true}, // a file of another computer may come later
    };
    std::vector<ImportedContact> contacts;
    for (const auto& [photo, kept] : photos)
        contacts.push_back(ImportedContact{"Anna", {}, photo.string()});
    const ImportPlan plan = planImport(contacts, contacts.size());
    ASSERT_EQ(plan.contacts.size(), photos.size());
    for (std::size_t i = 0; i < photos.size(); ++i)
        EXPECT_EQ(plan.contacts[i].photoPath, photos[i].second ? photos[i].first.string() : "") << photos[i].first;
    EXPECT_EQ(plan.refusedPhotos, 3u);
    EXPECT_EQ(plan.cutFields, 0u);
}
