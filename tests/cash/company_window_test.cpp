#include "cash/company_window.h"

#include "tests/support/scripted_platform.h"
#include "tests/support/temp_folder.h"
#include "tests/support/window_controls.h"

#include <QLineEdit>
#include <QToolButton>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace wirtello {
namespace {

using test::control;
using test::countedAt;
using test::readBytes;
using test::TempFolder;
using test::writeBytes;

struct CompanyWindow : ::testing::Test {
    TempFolder folder{{"Admini"}};
    AppData data{folder.path()};
    ScriptedPlatform platform;
    Tfirma_f window{data, platform};
    std::filesystem::path firma() const { return folder / "Admini" / "firma.dat"; }
    QLineEdit* edit(int line) const
    {
        return control<QLineEdit>(window, ("firma" + std::to_string(line)).c_str());
    }
};

TEST_F(CompanyWindow, AcceptStoresEachLineCutToFiftyWithZerosAfterIt)
{
    window.initialise();
    EXPECT_EQ(readBytes(firma()), std::vector<std::uint8_t>(306, 0));
    // A record written elsewhere, with old characters after every text.
    std::vector<std::uint8_t> old(306, 'x');
    for (std::size_t field = 0; field < 6; ++field)
        old[field * 51] = 3;
    writeBytes(firma(), old);

    const QString fifty(50, QLatin1Char('A'));
    const std::tuple<int, QString, std::string> cases[] = {
        {1, QStringLiteral("Żółta Łódź Sp. z o.o."), "\xAF\xF3\xB3ta \xA3\xF3" "d\x9F Sp. z o.o."},
        {2, QStringLiteral("ul. Świętojańska 5"), "ul. \x8Cwi\xEAtoja\xF1ska 5"},
        {3, fifty + QStringLiteral("BBBBB"), std::string(50, 'A')},
        {4, QStringLiteral("NIP 123-456-32-18"), "NIP 123-456-32-18"},
        {5, QString(), ""},
        {6, QStringLiteral("12 3456 日"), "12 3456 ?"},
    };
    window.open();
    EXPECT_EQ(edit(1)->text(), QStringLiteral("xxx"));
    for (const auto& [line, typed, stored] : cases)
        edit(line)->setText(typed);
    control<QToolButton>(window, "SpeedButton1")->click();

    EXPECT_FALSE(window.isVisible());
    const auto bytes = readBytes(firma());
    ASSERT_EQ(bytes.size(), 306u);
    for (const auto& [line, typed, stored] : cases) {
        const std::size_t at = (line - 1) * 51;
        EXPECT_EQ(countedAt(bytes, at), stored) << line;
        for (std::size_t i = at + 1 + bytes[at]; i < at + 51; ++i)
            ASSERT_EQ(bytes[i], 0) << "line " << line << " byte " << i;
    }
    // The shared record holds the new lines at once, for the next cash document.
    EXPECT_EQ(data.company.line(1), "Żółta Łódź Sp. z o.o.");
    EXPECT_EQ(data.company.line(3), fifty.toStdString());
    window.open();
    EXPECT_EQ(edit(3)->text(), fifty);
}

TEST_F(CompanyWindow, CancelAndReopenShowTheFileNotUnsavedEdits)
{
    CompanyRecord record;
    record.setLine(1, "Biuro Rachunkowe");
    storeCompanyRecord(firma(), record);
    const auto before = readBytes(firma());

    window.open();
    edit(1)->setText(QStringLiteral("Zmieniona nazwa"));
    control<QToolButton>(window, "SpeedButton2")->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(readBytes(firma()), before);
    EXPECT_EQ(data.company.line(1), "Biuro Rachunkowe");
    window.open();
    edit(1)->setText(QStringLiteral("nie zapisane"));
    window.open();
    EXPECT_EQ(edit(1)->text(), QStringLiteral("Biuro Rachunkowe"));
}

TEST_F(CompanyWindow, FileFailuresShowTheErrorBox)
{
    // A short file: the window stays closed, the shared record unchanged.
    writeBytes(firma(), std::vector<std::uint8_t>(305, 0));
    data.company.setLine(1, "z pamięci");
    window.open();
    EXPECT_EQ(platform.errors.size(), 1u);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(data.company.line(1), "z pamięci");

    // A write-protected file: accepting keeps the window open and the old data.
    storeCompanyRecord(firma(), CompanyRecord{});
    window.open();
    ::chmod(firma().c_str(), 0444);
    edit(1)->setText(QStringLiteral("Nowa firma"));
    control<QToolButton>(window, "SpeedButton1")->click();
    ::chmod(firma().c_str(), 0644);
    EXPECT_EQ(platform.errors.size(), 2u);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(readBytes(firma()), std::vector<std::uint8_t>(306, 0));
    EXPECT_EQ(data.company.line(1), "");

    window.dismiss();
    std::filesystem::remove_all(folder / "Admini");
    window.open();
    EXPECT_EQ(platform.errors.size(), 3u);
    EXPECT_FALSE(window.isVisible());
}

} // namespace
} // namespace wirtello
