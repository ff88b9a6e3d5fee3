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
// starts in the present one, whether the vanished one stops it first, and
// whether it asks for a contact.
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
        bool asksForContact = false;
    } rows[] = {
        {CompanionButton::Notes, none, false, true, true}, // the folder is checked even so
        {CompanionButton::TaskCalendar, none, false, true, true},
        {CompanionButton::Comments, none, false, false, true},
        {CompanionButton::DocumentRegister, none, false, false, true},
        {CompanionButton::Mail, noMail, false, false}, // the test comes first
        {CompanionButton::Mail, selected007(), true, true},
        {CompanionButton::Notes, selected007(), true, true},
        {CompanionButton::Scheduler, none, true, false},
        {CompanionButton::Comments, selected007(), true, false},
        {CompanionButton::DocumentRegister, selected007(), true, false},
        {CompanionButton::TaskReader, none, true, true},
        {CompanionButton::AddressExport, none, true, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.button));
        ScriptedPlatform present;
        EXPECT_EQ(startCompanion(present, program, row.button, row.inputs), row.starts);
        EXPECT_EQ(present.executed.size(), row.starts ? 1 : 0);
        EXPECT_EQ(present.execFolders, std::vector<std::filesystem::path>(row.starts ? 1 : 0, program));
        EXPECT_EQ(present.informed,
                  row.asksForContact ? QStringList{QStringLiteral("Wybierz kontakt z listy.")} : QStringList{});

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

// Opened as a browser sends what is typed into it; a refusal says why.
TEST(CompanionActions, WebPageOpensWebAddressesOnly)
{
    const struct {
        QString text;
        QString opened; // empty: nothing opened
        QString refusal; // a part of the reason shown; empty: nothing shown
    } rows[] = {
        {QStringLiteral("http://example.pl"), QStringLiteral("http://example.pl"), {}},
        {QStringLiteral("HTTPS://example.pl/ścieżka?a=1#b"),
         QStringLiteral("HTTPS://example.pl/%C5%9Bcie%C5%BCka?a=1#b"), {}},
        {QStringLiteral("https://example.com/Zażółć gęślą"),
         QStringLiteral("https://example.com/Za%C5%BC%C3%B3%C5%82%C4%87%20g%C4%99%C5%9Bl%C4%85"), {}},
        {QStringLiteral("PRZYKŁAD.pl/a b?q=żółw&r='x'#go tu"),
         QStringLiteral("http://xn--przykad-rjb.pl/a%20b?q=%C5%BC%C3%B3%C5%82w&r=%27x%27#go%20tu"), {}},
        {QStringLiteral("http://a.pl/100%25/\"<x>\""), QStringLiteral("http://a.pl/100%25/%22%3Cx%3E%22"), {}},
        {QStringLiteral("  example.pl  "), QStringLiteral("http://example.pl"), {}},
        {QStringLiteral("localhost:8080/x"), QStringLiteral("http://localhost:8080/x"), {}},
        {QStringLiteral("https://user@example.pl:8443"), QStringLiteral("https://user@example.pl:8443"), {}},
        {QString(), QString(), {}},
        {QStringLiteral("   "), QString(), {}},
        {QStringLiteral("file:///etc/passwd"), QString(), QStringLiteral("zaczyna się od „file:”")},
        {QStringLiteral("javascript:alert(1)"), QString(), QStringLiteral("zaczyna się od „javascript:”")},
        {QStringLiteral("mailto:a@b.pl"), QString(), QStringLiteral("zaczyna się od „mailto:”")},
        {QStringLiteral("C:\\Windows\\calc.exe"), QString(), QStringLiteral("ścieżka do pliku")},
        {QStringLiteral("/bin/sh"), QString(), QStringLiteral("ścieżka do pliku")},
        {QStringLiteral("./skrypt.sh"), QString(), QStringLiteral("ścieżka do pliku")},
        {QStringLiteral("calc.exe"), QString(), QStringLiteral("program lub skrypt („calc.exe”)")},
        {QStringLiteral("http://"), QString(), QStringLiteral("brak nazwy serwera")},
        {QStringLiteral("http:example.pl"), QString(), QStringLiteral("dwa ukośniki")},
        {QStringLiteral("http://a.pl x/y"), QString(), QStringLiteral("„a.pl x” zawiera niedozwolony znak")},
        {QStringLiteral("http://a.pl\\..\\x"), QString(), QStringLiteral("zawiera niedozwolony znak")},
        {QStringLiteral("http://a.pl:80a/"), QString(), QStringLiteral("numer portu")},
        {QStringLiteral("http://a.pl:65536/"), QString(), QStringLiteral("numer portu")},
        {QStringLiteral("http://a.pl/x\ty"), QString(), QStringLiteral("znak sterujący")},
        {QStringLiteral("http://ab\u200Dć.pl/"), QString(), QStringLiteral("nie jest poprawną nazwą serwera")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text.toStdString());
        ScriptedPlatform platform;
        openWebPage(platform, row.text);
        EXPECT_EQ(platform.openedUrls, row.opened.isEmpty() ? QStringList() : QStringList{row.opened});
        ASSERT_EQ(platform.informed.size(), row.refusal.isEmpty() ? 0 : 1);
        if (!row.refusal.isEmpty()) {
            EXPECT_TRUE(platform.informed.front().contains(row.text.trimmed()));
            EXPECT_TRUE(platform.informed.front().contains(row.refusal)) << platform.informed.front().toStdString();
        }
    }
}
