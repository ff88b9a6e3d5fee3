// Files of "Admini" that cannot be used: the run history at the end of the
// program and the network mode record at its start.
#include "main_window_fixture.h"

#include "app/program.h"
#include "platform/session_end.h"
#include "store/cp1250.h"

#include <sys/stat.h>

#include <algorithm>

namespace wirtello::test {
namespace {

namespace fs = std::filesystem;

// What stands where a file of "Admini" should be.
enum class Fault { ReadOnly, Pipe, LinkOut, Folder };

class AdminFileFaultTest : public MainWindowTest, public ::testing::WithParamInterface<Fault> {
protected:
    TempFolder outside; // where a link leads; the program folder stays the current directory
    const std::vector<std::uint8_t> outsideBytes = std::vector<std::uint8_t>(79, 'z');

    AdminFileFaultTest() { fs::current_path(folder.path()); }

    void make(const fs::path& file, const std::vector<std::uint8_t>& readOnlyBytes)
    {
        switch (GetParam()) {
        case Fault::ReadOnly:
            writeBytes(file, readOnlyBytes);
            fs::permissions(file, fs::perms::owner_read);
            break;
        case Fault::Pipe:
            ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
            break;
        case Fault::LinkOut:
            writeBytes(outside / "obcy.dat", outsideBytes);
            fs::create_symlink(outside / "obcy.dat", file);
            break;
        case Fault::Folder:
            fs::create_directory(file);
            break;
        }
    }
    // Nothing was written through the fault: its kind is kept, the file outside too.
    void expectLeftAsItWas(const fs::path& file, fs::file_type type)
    {
        EXPECT_EQ(fs::symlink_status(file).type(), type);
        if (GetParam() == Fault::LinkOut) {
            EXPECT_EQ(readBytes(outside / "obcy.dat"), outsideBytes);
        }
    }
};

// A run history that cannot be written keeps neither "Koniec" from ending nor
// the contacts from being stored; the user is told. The end of the session
// stores the contacts as ever and says nothing.
TEST_P(AdminFileFaultTest, KoniecStoresTheContactsSaysTheHistoryWasNotWrittenAndEnds)
{
    const fs::path history = folder / "Admini/historia.dat";
    make(history, std::vector<std::uint8_t>(79, 0));
    const fs::file_type type = fs::symlink_status(history).type();
    writeDatabase({{0, "000 Adam", "Polna 1"}});
    start();
    clickRow(0);
    const auto storedStreet = [&] { return countedAt(databaseBytes(), fieldOffset(ContactField::Street, 0)); };

    lineEdit("ulica")->setText(QStringLiteral("Nowa 5"));
    storeForSessionEnd();
    EXPECT_EQ(storedStreet(), "Nowa 5");
    EXPECT_TRUE(platform.informed.isEmpty());

    lineEdit("ulica")->setText(QStringLiteral("Długa 7"));
    platform.threeWayAnswers = {Platform::Answer::Yes};
    platform.askAnswers = {true};
    const std::size_t errorsAtStart = platform.errors.size();
    toolButton("SpeedButton27")->click();

    EXPECT_EQ(platform.endProcessCalls, 1);
    EXPECT_EQ(storedStreet(), toCp1250("Długa 7"));
    EXPECT_EQ(platform.errors.size(), errorsAtStart);
    ASSERT_EQ(platform.informed.size(), 1);
    for (const char* part : {"Nie zapisano historii uruchomień", "historia.dat", "Kontakty zostały zapisane"})
        EXPECT_TRUE(platform.informed[0].contains(QString::fromUtf8(part))) << platform.informed[0].toStdString();
    expectLeftAsItWas(history, type);
}

// Every window that keeps its files in the data folder reads the network mode
// record at start: a fault of it is one box, not one per window. A window the
// user opens then says it again.
TEST_P(AdminFileFaultTest, NetworkModeRecordFaultIsOneBoxAtStart)
{
    const fs::path record = folder / "Admini/siec.dat";
    make(record, std::vector<std::uint8_t>(10, 1)); // read, not written: a short record is the fault
    const fs::file_type type = fs::symlink_status(record).type();
    const auto aboutRecord = [&] {
        return std::count_if(platform.errors.begin(), platform.errors.end(),
                             [](const IoError& error) { return error.path().filename() == "siec.dat"; });
    };

    Program program(data, platform);
    EXPECT_EQ(aboutRecord(), 1);
    const auto& windows = program.creationOrder();
    (*std::find_if(windows.begin(), windows.end(), [](ProgramWindow* window) {
        return std::string(window->metaObject()->className()) == "wirtello::Tkoperta_f";
    }))->open();
    EXPECT_EQ(aboutRecord(), 2);
    expectLeftAsItWas(record, type);
}

std::string faultName(const ::testing::TestParamInfo<Fault>& info)
{
    constexpr const char* kNames[] = {"ReadOnly", "Pipe", "LinkOut", "Folder"};
    return kNames[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Faults, AdminFileFaultTest,
                         ::testing::Values(Fault::ReadOnly, Fault::Pipe, Fault::LinkOut, Fault::Folder), faultName);

} // namespace
} // namespace wirtello::test
