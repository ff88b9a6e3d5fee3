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

TEST(CompanionActions, StartsInTheProgramFolderWithoutChangingTheCurrentOne)
{
    test::TempFolder folder({"program"});
    const std::filesystem::path program = folder / "program";
    const std::filesystem::path current = std::filesystem::current_path();
    ScriptedPlatform platform;
    EXPECT_TRUE(startCompanion(platform, program, CompanionButton::Notes, selected007()));
    EXPECT_TRUE(startCompanion(platform, program, CompanionButton::Scheduler, selected007()));
    EXPECT_EQ(platform.executed, (QStringList{QStringLiteral("brulion.exe \"007 Przykładowa\" 007"),
                                              QStringLiteral("grafik.exe \"Kalvaro\"")}));
    EXPECT_EQ(platform.execFolders, (std::vector<std::filesystem::path>{program, program}));
    EXPECT_EQ(std::filesystem::current_path(), current);
    EXPECT_TRUE(platform.informed.isEmpty());
}

TEST(CompanionActions, MissingProgramsAndUnmetNeedsAreSilent)
{
    test::TempFolder folder;
    ScriptedPlatform platform;
    platform.installedPrograms = QStringList{QStringLiteral("wywoz")};
    EXPECT_TRUE(startCompanion(platform, folder.path(), CompanionButton::AddressExport, {}));
    EXPECT_FALSE(startCompanion(platform, folder.path(), CompanionButton::Archiver, {}));
    EXPECT_FALSE(startCompanion(platform, folder.path(), CompanionButton::Notes, {}));
    EXPECT_FALSE(startCompanion(platform, folder.path(), CompanionButton::Mail, {}));
    EXPECT_EQ(platform.executed, (QStringList{QStringLiteral("wywoz.exe a"), QStringLiteral("skarbiec.exe")}));
    EXPECT_TRUE(platform.informed.isEmpty());
    EXPECT_TRUE(platform.errors.empty());
}

TEST(CompanionActions, AVanishedProgramFolderStopsTheButtonsThatWorkInIt)
{
    test::TempFolder folder;
    const std::filesystem::path gone = folder / "gone";
    CompanionInputs nothingSelected = selected007();
    nothingSelected.selectedEntry.reset();
    CompanionInputs noMail = selected007();
    noMail.mail.clear();
    const struct {
        CompanionButton button;
        CompanionInputs inputs;
        bool raises;
        bool starts;
    } rows[] = {
        {CompanionButton::Notes, nothingSelected, true, false},
        {CompanionButton::TaskCalendar, selected007(), true, false},
        {CompanionButton::AddressExport, selected007(), true, false},
        {CompanionButton::Mail, noMail, false, false},
        {CompanionButton::Scheduler, selected007(), false, true},
        {CompanionButton::Comments, selected007(), false, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.button));
        ScriptedPlatform platform;
        bool raised = false;
        try {
            startCompanion(platform, gone, row.button, row.inputs);
        } catch (const IoError& error) {
            raised = true;
            EXPECT_EQ(error.path(), gone);
        }
        EXPECT_EQ(raised, row.raises);
        EXPECT_EQ(platform.executed.size(), row.starts ? 1 : 0);
    }
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
        {QStringLiteral("www.przyklad.pl/oferta"), QStringLiteral("http://www.przyklad.pl/oferta"), false},
        {QStringLiteral("localhost:8080/x"), QStringLiteral("http://localhost:8080/x"), false},
        {QStringLiteral("https://user@example.pl:8443"), QStringLiteral("https://user@example.pl:8443"), false},
        {QString(), QString(), false},
        {QStringLiteral("   "), QString(), false},
        {QStringLiteral("file:///etc/passwd"), QString(), true},
        {QStringLiteral("javascript:alert(1)"), QString(), true},
        {QStringLiteral("mailto:a@b.pl"), QString(), true},
        {QStringLiteral("C:\\Windows\\calc.exe"), QString(), true},
        {QStringLiteral("/bin/sh"), QString(), true},
        {QStringLiteral("\\\\serwer\\udział"), QString(), true},
        {QStringLiteral("./skrypt.sh"), QString(), true},
        {QStringLiteral("~/x"), QString(), true},
        {QStringLiteral("calc.exe"), QString(), true},
        {QStringLiteral("http://"), QString(), true},
        {QStringLiteral("http:example.pl"), QString(), true},
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
