// A store that cannot be completed (a full disk, any failing step of the
// write) leaves the old file whole and the main window shows the error box.
#include "app/main_window.h"
#include "store/contact_database.h"
#include "store/record_file.h"
#include "tests/support/scripted_platform.h"
#include "tests/support/temp_folder.h"
#include "tests/support/window_controls.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QListView>
#include <QToolButton>

#include <cerrno>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace wirtello::test {
namespace {

namespace fs = std::filesystem;

// The program started on `folder`, with three contacts.
struct RunningProgram {
    explicit RunningProgram(const fs::path& folder) : data(folder)
    {
        for (const char* subfolder : {"Admini", "NOTATKI", "LOGO", "FONT"})
            fs::create_directories(folder / subfolder);
        QImage picture(40, 52, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        picture.save(QString::fromStdString((folder / "LOGO/Chmury.jpg").string()), "JPG");
        ContactDatabase database;
        const char* const names[] = {"000 Adam", "001 Beata", "002 Cezary"};
        for (int slot = 0; slot < 3; ++slot) {
            database.setText(ContactField::Display, slot, names[slot]);
            database.setText(ContactField::Id, slot, std::string(names[slot], 3));
        }
        database.store(databasePath());
        writeIdCounter(idCounterPath(folder), 3);
        window = std::make_unique<Tzadania_f>(data, platform, printFont, windows);
        window->FormCreate();
    }

    fs::path databasePath() const { return contactDatabasePath(data.programFolder); }
    std::string entry(int slot) const
    {
        const ContactArrayLayout display = contactArrayLayout(ContactField::Display);
        return countedAt(readBytes(databasePath()), display.offset + static_cast<std::size_t>(slot) * (display.capacity + 1));
    }
    bool temporaryFileLeft() const
    {
        for (const fs::directory_entry& entry : fs::directory_iterator(data.programFolder / "NOTATKI"))
            if (isTemporaryFileName(entry.path()))
                return true;
        return false;
    }

    void deleteFirst()
    {
        platform.askAnswers = {true};
        control<QToolButton>(*window, "SpeedButton3")->click();
    }
    void add(const char* name)
    {
        platform.inputAnswers = {QString::fromUtf8(name)};
        control<QToolButton>(*window, "SpeedButton2")->click();
    }
    void end()
    {
        platform.askAnswers = {true};
        control<QToolButton>(*window, "SpeedButton27")->click();
    }

    ScriptedPlatform platform;
    AppData data;
    CurrentPrintFont printFont;
    ProgramWindows windows;
    std::unique_ptr<Tzadania_f> window;
};

// Steps of the write made to fail, until the guard goes.
class FailingStep {
public:
    explicit FailingStep(RecordWriteStep failing)
    {
        setRecordWriteFaultForTests([failing](RecordWriteStep step) { return step != failing; });
    }
    ~FailingStep() { setRecordWriteFaultForTests(nullptr); }
    FailingStep(const FailingStep&) = delete;
    FailingStep& operator=(const FailingStep&) = delete;
};

TEST(FailedStore, EveryFailingStepOfDeleteAndEndShowsTheErrorAndKeepsTheFile)
{
    enum class Action { Delete, End };
    struct Row {
        RecordWriteStep step;
        Action action;
        bool replaced; // the rename was done: only its flush to disk failed
    };
    const Row rows[] = {
        {RecordWriteStep::CreateTemporary, Action::Delete, false}, {RecordWriteStep::WriteBytes, Action::Delete, false},
        {RecordWriteStep::FlushBytes, Action::Delete, false},      {RecordWriteStep::SetPermissions, Action::Delete, false},
        {RecordWriteStep::Close, Action::Delete, false},           {RecordWriteStep::Rename, Action::Delete, false},
        {RecordWriteStep::FlushFolder, Action::Delete, true},      {RecordWriteStep::CreateTemporary, Action::End, false},
        {RecordWriteStep::WriteBytes, Action::End, false},         {RecordWriteStep::Rename, Action::End, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("step " + std::to_string(static_cast<int>(row.step)) + (row.action == Action::End ? " end" : " delete"));
        TempFolder folder;
        RunningProgram program(folder.path());
        ASSERT_TRUE(program.platform.errors.empty());
        const std::vector<std::uint8_t> before = readBytes(program.databasePath());
        if (row.action == Action::End)
            program.add("Dorota"); // kept in memory until the end stores it
        {
            FailingStep failing(row.step);
            if (row.action == Action::Delete)
                program.deleteFirst();
            else
                program.end();
        }
        ASSERT_EQ(program.platform.errors.size(), 1u);
        EXPECT_EQ(program.platform.errors[0].path(), program.databasePath());
        EXPECT_FALSE(program.temporaryFileLeft());
        EXPECT_EQ(program.platform.endProcessCalls, 0);
        if (row.replaced) {
            EXPECT_EQ(program.entry(0), "001 Beata");
        } else {
            EXPECT_EQ(readBytes(program.databasePath()), before);
        }
        if (row.action == Action::End) {
            EXPECT_DOUBLE_EQ(program.window->windowOpacity(), 1.0);
        }
        // Once the disk works again, the end stores what the user did.
        program.end();
        EXPECT_EQ(program.platform.endProcessCalls, 1);
        if (row.action == Action::End) {
            EXPECT_EQ(program.entry(3), "003 Dorota");
        } else {
            EXPECT_EQ(program.entry(0), "001 Beata");
        }
    }
}

// A small file system of its own, unmounted when the test ends.
class SmallDisk {
public:
    explicit SmallDisk(const fs::path& mountPoint) : mountPoint_(mountPoint)
    {
        fs::create_directories(mountPoint);
        if (::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=2m") == 0)
            mounted_ = true;
        else
            error_ = std::strerror(errno);
    }
    ~SmallDisk()
    {
        if (!mounted_)
            return;
        std::error_code ignored;
        fs::current_path(mountPoint_.parent_path(), ignored);
        ::umount2(mountPoint_.c_str(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& error() const { return error_; }

    // Writes a file until the disk refuses more; returns the errno it gave.
    int fill(const fs::path& filler) const
    {
        const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0)
            return errno;
        const std::vector<char> block(4096, 'z');
        int error = 0;
        while (error == 0) {
            if (::write(fd, block.data(), block.size()) < 0)
                error = errno;
        }
        ::close(fd);
        return error;
    }

private:
    fs::path mountPoint_;
    bool mounted_ = false;
    std::string error_;
};

TEST(FailedStore, FullDiskKeepsTheDatabaseAndShowsTheErrorUntilSpaceIsFreed)
{
    TempFolder folder;
    SmallDisk disk(folder / "dysk");
    if (!disk.mounted())
        GTEST_SKIP() << "no tmpfs can be mounted here (" << disk.error()
                     << "); the injected write failures cover the full disk";
    const fs::path filler = folder / "dysk/wypelniacz";
    fs::current_path(folder / "dysk"); // the program's folder is where it starts
    auto program = std::make_unique<RunningProgram>(folder / "dysk");
    ASSERT_TRUE(program->platform.errors.empty());
    const std::vector<std::uint8_t> before = readBytes(program->databasePath());
    ASSERT_EQ(disk.fill(filler), ENOSPC);

    program->deleteFirst();
    program->end();
    ASSERT_EQ(program->platform.errors.size(), 2u);
    for (const IoError& error : program->platform.errors)
        EXPECT_EQ(error.path(), program->databasePath());
    EXPECT_EQ(program->platform.endProcessCalls, 0);
    EXPECT_EQ(readBytes(program->databasePath()), before);
    EXPECT_FALSE(program->temporaryFileLeft());
    EXPECT_EQ(control<QListView>(*program->window, "listazadan")->model()->rowCount(), 2);

    fs::remove(filler);
    program->end();
    EXPECT_EQ(program->platform.endProcessCalls, 1);
    EXPECT_EQ(program->entry(0), "001 Beata");
    program.reset(); // before the disk goes
}

} // namespace
} // namespace wirtello::test
