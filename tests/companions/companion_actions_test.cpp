#include "app/companion_actions.h"
#include "store/io_error.h"
#include "tests/support/scripted_platform.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

using namespace wirtello;

namespace {

CompanionInputs selected007()
{
    CompanionInputs inputs;
    inputs.selectedEntry = "007 Przykładowa";
    inputs.firstName = "Anna Przykładowa";
    inputs.surname = "Kancelaria Prawna";
    inputs.mail = "anna@kancelaria.pl";
    return inputs;
}

} // namespace

// Each button against a present and a vanished program folder: whether it
// starts in the present one, and whether the vanished one stops it first.
TEST(CompanionActions, NeedsAndTheProgramFolder)
{
    test::TempFolder folder({"program"});
    const std::filesystem::path program = folder / "program";
    const std::filesystem::path current = std::filesystem::current_path();
    CompanionInputs none = selected007();
    none.selectedEntry.reset();
    CompanionInputs noMail = selected007();
    noMail.mail.clear();
    const struct {
        CompanionButton button;
        CompanionInputs inputs;
        bool starts;
        bool needsFolder;
    } rows[] = {
        {CompanionButton::Notes, none, false, true}, // the folder is checked even so
        {CompanionButton::TaskCalendar, none, false, true},
        {CompanionButton::Comments, none, false, false},
        {CompanionButton::DocumentRegister, none, false, false},
        {CompanionButton::Mail, noMail, false, false}, // the test comes first
        {CompanionButton::Mail, selected007(), true, true},
        {CompanionButton::Notes, selected007(), true, true},
        {CompanionButton::Scheduler, none, true, false},
        {CompanionButton::Comments, selected007(), true, false},
        {CompanionButton::TaskReader, none, true, true},
        {CompanionButton::AddressExport, none, true, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.button));
        ScriptedPlatform present;
        EXPECT_EQ(startCompanion(present, program, row.button, row.inputs), row.starts);
        EXPECT_EQ(present.executed.size(), row.starts ? 1 : 0);
        EXPECT_EQ(present.execFolders, std::vector<std::filesystem::path>(row.starts ? 1 : 0, program));

        ScriptedPlatform vanished;
        bool raised = false;
        try {
            startCompanion(vanished, folder / "gone", row.button, row.inputs);
        } catch (const IoError& error) {
            raised = true;
            EXPECT_EQ(error.path(), folder / "gone");
        }
        EXPECT_EQ(raised, row.needsFolder);
        EXPECT_EQ(vanished.executed.size(), row.starts && !row.needsFolder ? 1 : 0);
    }
    EXPECT_EQ(std::filesystem::current_path(), current);
}

TEST(CompanionActions, AProgramInstalledNowhereIsIgnoredSilently)
{
    test::TempFolder folder;
    ScriptedPlatform platform;
    platform.installedPrograms = QStringList{QStringLiteral("wywoz")};
    EXPECT_TRUE(startCompanion(platform, folder.path(), CompanionButton::AddressExport, {}));
    EXPECT_FALSE(startCompanion(platform, folder.path(), CompanionButton::Notes, selected007()));
    EXPECT_EQ(platform.executed, (QStringList{QStringLiteral("wywoz.exe a"),
                                              QStringLiteral("brulion.exe \"007 Przykładowa\" 007")}));
    EXPECT_TRUE(platform.informed.isEmpty());
}

TEST(CompanionActions, WebPageOpensWebAddressesOnly)
{
    const struct {
        QString text;
        QString opened; // empty: nothing opened
        bool refused;
    } rows[] = {
        {QStringLiteral("http://example.pl"), QStringLiteral("http://example.pl"), false},
        {QStringLiteral("HTTPS://example.pl/ścieżka?a=1#b"), QStringLiteral("HTTPS://example.pl/ścieżka?a=1#b"), false},
        {QStringLiteral("  example.pl  "), QStringLiteral("http://example.pl"), false},
        {QStringLiteral("localhost:8080/x"), QStringLiteral("http://localhost:8080/x"), false},
        {QStringLiteral("https://user@example.pl:8443"), QStringLiteral("https://user@example.pl:8443"), false},
        {QString(), QString(), false},
        {QStringLiteral("   "), QString(), false},
        {QStringLiteral("file:///etc/passwd"), QString(), true},
        {QStringLiteral("javascript:alert(1)"), QString(), true},
        {QStringLiteral("mailto:a@b.pl"), QString(), true},
        {QStringLiteral("C:\\Windows\\calc.exe"), QString(), true},
        {QStringLiteral("/bin/sh"), QString(), true},
        {QStringLiteral("./skrypt.sh"), QString(), true},
        {QStringLiteral("calc.exe"), QString(), true},
        {QStringLiteral("http://"), QString(), true},
        {QStringLiteral("http://a.pl/x y"), QString(), true},
        {QStringLiteral("http://a.pl\\..\\x"), QString(), true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text.toStdString());
        ScriptedPlatform platform;
        openWebPage(platform, row.text);
        EXPECT_EQ(platform.openedUrls, row.opened.isEmpty() ? QStringList() : QStringList{row.opened});
        ASSERT_EQ(platform.informed.size(), row.refused ? 1 : 0);
        if (row.refused) {
            EXPECT_TRUE(platform.informed.front().contains(row.text.trimmed()));
        }
    }
}
