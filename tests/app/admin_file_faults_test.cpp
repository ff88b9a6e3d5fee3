// Files of "Admini" that cannot be used: the run history at the end of the
// program and the network mode record at its start.
#include "main_window_fixture.h"

#include "app/program.h"
#include "platform/program_window.h"
#include "platform/session_end.h"
#include "store/contact_database.h"
#include "store/cp1250.h"

#include <sys/stat.h>

#include <algorithm>
#include <functional>
#include <ostream>

namespace wirtello::test {
namespace {

namespace fs = std::filesystem;
using Answer = Platform::Answer;

const std::vector<std::uint8_t> kOutsideBytes(79, 'z');

// What stands where a file of "Admini" should be, and whether it is left so.
struct FileFault {
    const char* name;
    std::function<void(const fs::path& file, const fs::path& outside)> make;
    std::function<bool(const fs::path& file, const fs::path& outside)> leftAsItWas;
};

void PrintTo(const FileFault& fault, std::ostream* out)
{
    *out << fault.name;
}

std::vector<FileFault> fileFaults()
{
    return {
        {"read-only",
         [](const fs::path& file, const fs::path&) {
             writeBytes(file, std::vector<std::uint8_t>(79, 0));
             fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
         },
         [](const fs::path& file, const fs::path&) { return readBytes(file) == std::vector<std::uint8_t>(79, 0); }},
        {"pipe", [](const fs::path& file, const fs::path&) { ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0); },
         [](const fs::path& file, const fs::path&) { return fs::is_fifo(fs::symlink_status(file)); }},
        {"link out",
         [](const fs::path& file, const fs::path& outside) {
             writeBytes(outside / "obcy.dat", kOutsideBytes);
             fs::create_symlink(outside / "obcy.dat", file);
         },
         [](const fs::path& file, const fs::path& outside) {
             return fs::is_symlink(fs::symlink_status(file)) && readBytes(outside / "obcy.dat") == kOutsideBytes;
         }},
        {"folder", [](const fs::path& file, const fs::path&) { fs::create_directory(file); },
         [](const fs::path& file, const fs::path&) { return fs::is_directory(fs::symlink_status(file)); }},
    };
}

class AdminFileFaultTest : public MainWindowTest, public ::testing::WithParamInterface<FileFault> {
protected:
    // A folder outside the program folder, for links to lead to; the program
    // folder stays the current directory.
    TempFolder outside;

    AdminFileFaultTest() { fs::current_path(folder.path()); }

    std::string storedStreet() const { return countedAt(databaseBytes(), fieldOffset(ContactField::Street, 0)); }
};

// A run history that cannot be written neither keeps "Koniec" from ending nor
// loses the contacts: they are stored, the user is told, the program ends.
// The end of the session stores the contacts as ever and says nothing.
TEST_P(AdminFileFaultTest, KoniecStoresTheContactsSaysTheHistoryWasNotWrittenAndEnds)
{
    const fs::path history = folder / "Admini/historia.dat";
    GetParam().make(history, outside.path());
    writeDatabase({{0, "000 Adam", "Polna 1"}});
    start();
    clickRow(0);

    lineEdit("ulica")->setText(QStringLiteral("Nowa 5"));
    storeForSessionEnd();
    EXPECT_EQ(storedStreet(), "Nowa 5");
    EXPECT_TRUE(platform.informed.isEmpty());

    lineEdit("ulica")->setText(QStringLiteral("Długa 7"));
    platform.threeWayAnswers = {Answer::Yes};
    platform.askAnswers = {true};
    const std::size_t errorsAtStart = platform.errors.size();
    toolButton("SpeedButton27")->click();

    EXPECT_EQ(platform.endProcessCalls, 1);
    EXPECT_EQ(storedStreet(), toCp1250("Długa 7"));
    EXPECT_EQ(platform.errors.size(), errorsAtStart);
    ASSERT_EQ(platform.informed.size(), 1);
    EXPECT_TRUE(platform.informed[0].startsWith(QStringLiteral("Nie zapisano historii uruchomień programu")))
        << platform.informed[0].toStdString();
    EXPECT_TRUE(platform.informed[0].contains(QStringLiteral("historia.dat")));
    EXPECT_TRUE(platform.informed[0].contains(QStringLiteral("Kontakty zostały zapisane")));
    EXPECT_TRUE(GetParam().leftAsItWas(history, outside.path()));
}

// Every window that keeps its files in the data folder reads the network mode
// record at start: a fault of it is one box, not one per window. A window the
// user opens then says it again.
TEST_P(AdminFileFaultTest, NetworkModeRecordFaultIsOneBoxAtStart)
{
    const fs::path record = folder / "Admini/siec.dat";
    if (std::string(GetParam().name) == "read-only") {
        // Read, not written: only a short record is a fault here.
        writeBytes(record, std::vector<std::uint8_t>(10, 1));
    } else {
        GetParam().make(record, outside.path());
    }
    const auto aboutSiec = [&] {
        return std::count_if(platform.errors.begin(), platform.errors.end(),
                             [](const IoError& error) { return error.path().filename() == "siec.dat"; });
    };

    Program program(data, platform);
    EXPECT_EQ(aboutSiec(), 1);

    for (ProgramWindow* window : program.creationOrder()) {
        if (std::string(window->metaObject()->className()) == "wirtello::Tkoperta_f")
            window->open();
    }
    EXPECT_EQ(aboutSiec(), 2);
    if (std::string(GetParam().name) != "read-only") {
        EXPECT_TRUE(GetParam().leftAsItWas(record, outside.path()));
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, AdminFileFaultTest, ::testing::ValuesIn(fileFaults()),
                         [](const ::testing::TestParamInfo<FileFault>& info) {
                             std::string name = info.param.name;
                             std::replace(name.begin(), name.end(), ' ', '_');
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

} // namespace
} // namespace wirtello::test
