// Each companion that locks its document, started with its folder linked to a
// folder outside the program folder: it refuses to start with a clear error
// and makes nothing there, not even the lock file. Everything happens in the
// test's own temporary folder.
#include "companions/brulion/notes_start.h"
#include "companions/companion_kit/companion_app.h"
#include "companions/companion_kit/companion_files.h"
#include "companions/grafik/schedule_window.h"
#include "companions/kalendarium/task_window.h"
#include "companions/segregator/register_window.h"
#include "companions/uwagi/comments_start.h"
#include "store/io_error.h"
#include "store/safe_file.h"
#include "tests/support/scripted_platform.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <QWidget>

#include <functional>

namespace fs = std::filesystem;
using namespace wirtello;
using namespace wirtello::test;

TEST(LinkedCompanionFolder, EachCompanionThatLocksRefusesAFolderLinkedOutAndMakesNothingThere)
{
    using Opener = std::function<std::unique_ptr<QWidget>(const CompanionStart&, Platform&)>;
    struct Row {
        const char* folder;
        std::vector<std::string> arguments;
        Opener open;
        const char* document; // the file it would lock, in its folder
    };
    const Row rows[] = {
        {"brulion", {"006 Anna", "006"}, openNotes, "006.txt"},
        {"uwagi", {"006.kom", "Komentarze"}, openComments, "006.kom"},
        {"segregator", {"006.lis", "Rejestr"}, openRegisterWindow, "006.lis"},
        {"kalendarium", {"006.adr", "Anna", "Łódź"}, openTaskWindow, "006.adr"},
        {"grafik", {"Anna"}, openScheduleWindow, "terminarz.ics"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.folder);
        TempFolder base{"prog", "outside"};
        const fs::path prog = trustFolderTree(base / "prog");
        writeBytes(base / "outside" / row.document, {'c', 'u', 'd', 'z', 'y'});
        fs::create_symlink(base / "outside", prog / row.folder);
        ScriptedPlatform platform;
        try {
            const std::unique_ptr<QWidget> window = row.open({row.arguments, prog}, platform);
            ADD_FAILURE() << "started";
        } catch (const IoError& error) {
            EXPECT_EQ(error.operation(), kCompanionFolderLeadsOut);
            EXPECT_EQ(error.path(), prog / row.folder);
        }
        std::vector<std::string> outside;
        for (const fs::directory_entry& entry : fs::directory_iterator(base / "outside"))
            outside.push_back(entry.path().filename().string());
        EXPECT_EQ(outside, std::vector<std::string>{row.document});
        EXPECT_EQ(readBytes(base / "outside" / row.document), (std::vector<std::uint8_t>{'c', 'u', 'd', 'z', 'y'}));
    }
}
