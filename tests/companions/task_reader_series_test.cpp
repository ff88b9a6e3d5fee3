// The task reader and a repeating task: marked done, it stays in the list at
// its next date, as the contact's task calendar shows it.

#include "companions/calendar_kit/calendar_file.h"
#include "companions/przeglad/overview_window.h"
#include "store/safe_file.h"
#include "tests/companions/companion_test_files.h"
#include "tests/support/scripted_platform.h"
#include "tests/support/temp_folder.h"

#include <QPushButton>
#include <QTableWidget>

#include <gtest/gtest.h>

using namespace wirtello;

namespace {

TEST(PrzegladSeries, ARepeatingTaskDoneStaysAtItsNextDate)
{
    const test::TempFolder program{{"kalendarium"}};
    test::writeText(program / "kalendarium/001.adr",
                    "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Inny//PL\r\nX-WR-CALNAME:Jan Łęcki\r\n"
                    "BEGIN:VTODO\r\nUID:raport\r\nDTSTAMP:20261201T000000Z\r\nSUMMARY:Raport\r\n"
                    "DUE;VALUE=DATE:20261207\r\nRRULE:FREQ=MONTHLY;BYMONTHDAY=7\r\nEND:VTODO\r\nEND:VCALENDAR\r\n");
    ScriptedPlatform platform; // its clock: 6.12.2026
    const std::unique_ptr<QWidget> window = openOverviewWindow({{"*.adr"}, trustFolderTree(program.path())}, platform);
    auto* table = window->findChild<QTableWidget*>("zadania");
    ASSERT_EQ(table->rowCount(), 1);
    EXPECT_EQ(table->item(0, 2)->text(), QStringLiteral("powtarza się"));
    table->setCurrentCell(0, 0);
    window->findChild<QPushButton*>("wykonane")->click();
    ASSERT_EQ(table->rowCount(), 1);
    EXPECT_EQ(table->item(0, 0)->text(), QStringLiteral("07.01.2027"));
    EXPECT_EQ(table->item(0, 2)->text(), QStringLiteral("powtarza się"));
    const CalendarTask stored = readCalendar(program / "kalendarium/001.adr").tasks().at(0);
    EXPECT_EQ(stored.due, (CalendarDate{2027, 1, 7}));
    EXPECT_FALSE(stored.done);
    EXPECT_TRUE(platform.informed.isEmpty());
}

} // namespace
