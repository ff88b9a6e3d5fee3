#include "admin/about_window.h"
#include "admin/maker_info.h"
#include "admin/run_history_window.h"
#include "admin/admin_tools_window.h"

#include "admin/run_records.h"
#include "tests/support/scripted_platform.h"
#include "tests/support/temp_folder.h"
#include "tests/support/window_controls.h"

#include <QLabel>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace wirtello {
namespace {

using test::control;
using test::countedAt;
using test::readBytes;
using test::TempFolder;
using test::writeBytes;

int rightEdge(const QLabel* label)
{
    return label->x() + label->width();
}

TEST(RunHistoryWindow, ShowsTheRunsRecordedBeforeThisOne)
{
    TempFolder folder({"Admini"});
    AppData data{folder.path()};
    ScriptedPlatform platform;

    // First start: nothing recorded yet.
    PobierzDane(data, platform);
    Thisto_f first(data, platform);
    first.initialise();
    EXPECT_EQ(control<QLabel>(first, "Label4")->text(), "");
    EXPECT_EQ(control<QLabel>(first, "Label5")->text(), "");
    EXPECT_EQ(control<QLabel>(first, "Label6")->text(), " razy");
    EXPECT_EQ(control<QLabel>(first, "Label10")->text(), "1.19");
    EXPECT_EQ(control<QLabel>(first, "Label8")->toolTip(), QString::fromStdString(folder.path().string()));
    EXPECT_EQ(control<QLabel>(first, "Label8")->text(), folderTail(control<QLabel>(first, "Label8")->toolTip()));
    ZapiszUruchomienia(data);

    // Second start, later: the window shows the first run.
    platform.clock = QDateTime(QDate(2026, 12, 7), QTime(14, 0, 1));
    PobierzDane(data, platform);
    EXPECT_EQ(data.runStart.runCount, 2);
    Thisto_f second(data, platform);
    second.open();
    EXPECT_TRUE(second.isVisible());
    EXPECT_EQ(control<QLabel>(second, "Label4")->text(), "06.12.2026");
    EXPECT_EQ(control<QLabel>(second, "Label5")->text(), "09:05:07");
    EXPECT_EQ(control<QLabel>(second, "Label6")->text(), "1 razy");
    for (const char* name : {"Label4", "Label5", "Label6", "Label8", "Label10"}) {
        const QLabel* value = control<QLabel>(second, name);
        EXPECT_EQ(rightEdge(value), 303) << value->text().toStdString();
    }

    // Reading the window's record must not disturb what "Koniec" writes.
    ZapiszUruchomienia(data);
    const auto bytes = readBytes(folder / "Admini/historia.dat");
    EXPECT_EQ(countedAt(bytes, 0), "07.12.2026");
    EXPECT_EQ(countedAt(bytes, 32), "2");

    control<QToolButton>(second, "SpeedButton1")->click();
    EXPECT_FALSE(second.isVisible());
    EXPECT_FALSE(second.isEnabled());
}

TEST(RunHistoryWindow, FolderTailKeepsTheLast31CharactersOfLongFolders)
{
    const QString thirty = QStringLiteral("/home/biuro/Wirtello/dane_2026");
    ASSERT_EQ(thirty.size(), 30);
    EXPECT_EQ(folderTail(thirty), thirty);
    const QString fortyFive = QStringLiteral("/srv/wspolne/biuro/Wirtello/dane/ksiegowosc26");
    ASSERT_EQ(fortyFive.size(), 45);
    EXPECT_EQ(folderTail(fortyFive), fortyFive.mid(14)); // characters 15 to 45
    EXPECT_EQ(folderTail(fortyFive).size(), 31);
    EXPECT_EQ(folderTail(QString()), QString());
}

TEST(RunHistoryWindow, ClockStartsAtZeroAndFollowsThePlatform)
{
    TempFolder folder({"Admini"});
    AppData data{folder.path()};
    ScriptedPlatform platform;
    Thisto_f histo(data, platform);
    Tform3 about(platform);
    EXPECT_EQ(control<QLabel>(histo, "Label13")->text(), "00:00:00");
    EXPECT_EQ(control<QLabel>(about, "Label7")->text(), "00:00:00");
    EXPECT_TRUE(control<QTimer>(histo, "Timer1")->isActive());
    EXPECT_EQ(control<QTimer>(histo, "Timer1")->interval(), 100);
    EXPECT_TRUE(control<QTimer>(about, "Timer1")->isActive());
    histo.Timer1Timer();
    about.Timer1Timer();
    EXPECT_EQ(control<QLabel>(histo, "Label13")->text(), "09:05:07");
    EXPECT_EQ(control<QLabel>(about, "Label7")->text(), "09:05:07");
}

class ToolsWindow : public ::testing::Test {
protected:
    TempFolder folder{"Admini"};
    AppData data{folder.path()};
    ScriptedPlatform platform;
    Tnarzedzia_f tools{data, platform};

    void SetUp() override { tools.initialise(); }
    bool exists(const char* relative) const { return std::filesystem::exists(folder / relative); }
    void touch(const char* relative) const { writeBytes(folder / relative, {1, 2, 3}); }
};

TEST_F(ToolsWindow, OperationNeedsConfirmationAndASelection)
{
    touch("Admini/historia.dat");
    touch("Admini/data_ar.dat");
    EXPECT_TRUE(control<QToolButton>(tools, "SpeedButton2")->toolTip().isEmpty());

    control<QRadioButton>(tools, "op4")->setChecked(true);
    platform.askAnswers = {false};
    control<QToolButton>(tools, "SpeedButton2")->click();
    EXPECT_EQ(platform.asked, QStringList{"Wykonać wskazaną operację ?"});
    EXPECT_EQ(platform.askCaptions, QStringList{"Pytanie"});
    EXPECT_TRUE(platform.informed.isEmpty());
    EXPECT_TRUE(exists("Admini/data_ar.dat"));

    // Nothing selected: nothing deleted, the closing message all the same.
    Tnarzedzia_f fresh(data, platform);
    fresh.initialise();
    platform.askAnswers = {true};
    fresh.WykonajOperacje();
    EXPECT_EQ(platform.informed, QStringList{"Wybrana operacja została zakończona"});
    EXPECT_TRUE(exists("Admini/historia.dat"));
    EXPECT_TRUE(exists("Admini/data_ar.dat"));
}

TEST_F(ToolsWindow, HistoryResetStartsCountingAgain)
{
    control<QRadioButton>(tools, "op3")->setChecked(true);
    EXPECT_EQ(control<QToolButton>(tools, "SpeedButton2")->toolTip(),
              "Operacja wyzeruje dane dotyczące historii uruchomień programu\nPoprzednie informacje ulegną skasowaniu");

    // Without a history file there is nothing to delete; it is created anew.
    platform.askAnswers = {true};
    tools.WykonajOperacje();
    EXPECT_EQ(readBytes(folder / "Admini/historia.dat"), std::vector<std::uint8_t>(79, 0));
    EXPECT_EQ(data.runStart.runCount, 1);

    RunHistoryRecord old;
    old.setRunCountText("57");
    writeBytes(folder / "Admini/historia.dat", std::vector<std::uint8_t>(old.bytes().begin(), old.bytes().end()));
    platform.clock = QDateTime(QDate(2027, 1, 2), QTime(10, 11, 12));
    platform.askAnswers = {true};
    tools.WykonajOperacje();
    EXPECT_EQ(readBytes(folder / "Admini/historia.dat"), std::vector<std::uint8_t>(79, 0));
    EXPECT_EQ(data.runStart.runCount, 1);
    EXPECT_EQ(data.runStart.startDate, "02.01.2027");
    EXPECT_EQ(platform.informed.size(), 2);
}

TEST_F(ToolsWindow, ArchiveResetDeletesOnlyTheRegisterFilesThatExist)
{
    touch("Admini/data_ar.dat");
    touch("Admini/DATA_OR.DAT");
    touch("Admini/historia.dat");
    touch("Admini/data_ar.dat.bak");
    std::filesystem::create_directory(folder / "Admini/data_odr.dat"); // never a folder
    control<QRadioButton>(tools, "op4")->setChecked(true);
    EXPECT_TRUE(control<QToolButton>(tools, "SpeedButton2")->toolTip().startsWith("Operacja wyzeruje dane dotyczące archiwizacji programu\n"));
    platform.askAnswers = {true};
    control<QToolButton>(tools, "SpeedButton2")->click();

    EXPECT_FALSE(exists("Admini/data_ar.dat"));
    EXPECT_FALSE(exists("Admini/DATA_OR.DAT"));
    EXPECT_TRUE(exists("Admini/historia.dat"));
    EXPECT_TRUE(exists("Admini/data_ar.dat.bak"));
    EXPECT_TRUE(exists("Admini/data_odr.dat"));
    EXPECT_EQ(platform.informed, QStringList{"Wybrana operacja została zakończona"});
    EXPECT_TRUE(platform.errors.empty());

    // The selection stays from one opening to the next.
    tools.open();
    EXPECT_TRUE(control<QRadioButton>(tools, "op4")->isChecked());
    EXPECT_TRUE(tools.isVisible());
}

TEST(AboutWindow, LinksGoToTheMakersPageAndMail)
{
    ScriptedPlatform platform;
    Tform3 about(platform);
    control<QToolButton>(about, "SpeedButton1")->click();
    control<QToolButton>(about, "SpeedButton2")->click();
    EXPECT_EQ(platform.openedUrls,
              (QStringList{"https://wirtello.example.pl", "mailto:kontakt@wirtello.example.pl"}));
    EXPECT_EQ(control<QLabel>(about, "Label1")->text(), QString::fromUtf8(maker::kName));
    EXPECT_EQ(control<QLabel>(about, "Label5")->text(), QString::fromUtf8(maker::kEmail));

    // The same window comes back where it was, its clock kept running meanwhile.
    about.open();
    const QPoint place = about.pos();
    control<QToolButton>(about, "SpeedButton3")->click();
    EXPECT_FALSE(about.isVisible());
    about.open();
    EXPECT_TRUE(about.isVisible());
    EXPECT_TRUE(about.isEnabled());
    EXPECT_EQ(about.pos(), place);
    EXPECT_TRUE(control<QTimer>(about, "Timer1")->isActive());
}

TEST(AboutWindow, ClockStaysInsideTheWindow)
{
    ScriptedPlatform platform;
    platform.clock = QDateTime(QDate(2026, 12, 6), QTime(20, 58, 59));
    Tform3 about(platform);
    about.Timer1Timer();
    EXPECT_EQ(control<QLabel>(about, "Label7")->text(), "20:58:59");
    EXPECT_LE(control<QLabel>(about, "Label7")->x() + control<QLabel>(about, "Label7")->width(), about.width());
}

TEST(AdminPictures, BothWindowsShowTheirCompiledInPicture)
{
    TempFolder folder({"Admini"});
    AppData data{folder.path()};
    ScriptedPlatform platform;
    Tform3 about(platform);
    Tnarzedzia_f tools(data, platform);
    const QPixmap card = control<QLabel>(about, "Image1")->pixmap();
    const QPixmap tool = control<QLabel>(tools, "Image1")->pixmap();
    EXPECT_EQ(card.size(), QSize(85, 93));
    EXPECT_EQ(tool.size(), QSize(153, 133));
}

} // namespace
} // namespace wirtello
