#include "envelope/envelope_records.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace wirtello {
namespace {

using test::countedAt;
using test::readBytes;
using test::TempFolder;
using test::writeBytes;

EnvelopeSettings sampleSettings()
{
    EnvelopeSettings s;
    s.sender = {"Firma Łącka", "ul. Długa 1", "00-950 Warszawa", "NIP 1"};
    s.left = {"11", "22", "33", "44"};
    s.top = {"55", "66", "77", "88"};
    s.spacing = "6";
    s.senderLeft = "7";
    s.senderTop = "8";
    return s;
}

TEST(EnvelopeRecords, FieldsLieAtTheirOffsetsInBothRecordKinds)
{
    EnvelopeSettingsRecord settings;
    settings.setSettings(sampleSettings());
    EnvelopeProfileRecord profile;
    profile.setSettings(sampleSettings());
    profile.setLogo({"/home/biuro/LOGO/znak.jpg", "40", "20"});
    profile.setChoice({3, 1, 1});

    const struct {
        std::size_t offset;
        std::string cp1250;
    } rows[] = {
        {0, "Firma \xA3\xB9\x63ka"}, {81, "ul. D\xB3uga 1"}, {162, "00-950 Warszawa"}, {243, "NIP 1"},
        {324, "11"}, {330, "22"}, {336, "33"}, {342, "44"},
        {348, "55"}, {354, "66"}, {360, "77"}, {366, "88"},
        {372, "6"}, {378, "7"}, {429, "8"},
    };
    const std::vector<std::uint8_t> settingsBytes(settings.bytes().begin(), settings.bytes().end());
    const std::vector<std::uint8_t> profileBytes(profile.bytes().begin(), profile.bytes().end());
    for (const auto& row : rows) {
        EXPECT_EQ(countedAt(settingsBytes, row.offset), row.cp1250) << row.offset;
        EXPECT_EQ(countedAt(profileBytes, row.offset), row.cp1250) << row.offset;
    }
    EXPECT_EQ(countedAt(profileBytes, 480), "/home/biuro/LOGO/znak.jpg");
    EXPECT_EQ(countedAt(profileBytes, 711), "40");
    EXPECT_EQ(countedAt(profileBytes, 717), "20");
    EXPECT_EQ(profileBytes[723], 3);
    EXPECT_EQ(profileBytes[724], 1);
    EXPECT_EQ(profileBytes[725], 1);

    EXPECT_EQ(settings.settings(), sampleSettings());
    EXPECT_EQ(profile.settings(), sampleSettings());
    EXPECT_EQ(profile.logo(), (LogoSettings{"/home/biuro/LOGO/znak.jpg", "40", "20"}));
    EXPECT_EQ(profile.choice(), (LayoutChoice{3, 1, 1}));
}

TEST(EnvelopeRecords, TextsAreCutToTheirCapacityAndKeepOlderBytes)
{
    EnvelopeSettingsRecord record = defaultEnvelopeSettings();
    EnvelopeSettings s = record.settings();
    s.left[0] = "123456";
    s.sender[1] = std::string(90, 'N');
    s.senderTop = std::string(60, '9');
    s.top[3] = "7";
    record.setSettings(s);
    const std::vector<std::uint8_t> bytes(record.bytes().begin(), record.bytes().end());
    EXPECT_EQ(countedAt(bytes, 324), "12345");
    EXPECT_EQ(countedAt(bytes, 81), std::string(80, 'N'));
    EXPECT_EQ(bytes[81 + 81], 0); // n3's length byte untouched
    EXPECT_EQ(countedAt(bytes, 429), std::string(50, '9'));
    // "200" shortened to "7": the length byte says 1, the old "00" stays behind it.
    EXPECT_EQ(bytes[366], 1);
    EXPECT_EQ(bytes[367], '7');
    EXPECT_EQ(bytes[368], '0');
    EXPECT_EQ(bytes[369], '0');

    FormaRecord forma;
    forma.setForma("Szanowny Pan Profesor Doktor");
    EXPECT_EQ(forma.forma(), "Szanowny Pan Profeso");
    EXPECT_EQ(forma.bytes()[0], 20);
}

TEST(EnvelopeRecords, LayoutChoiceActsOnlyOnKnownValues)
{
    const struct {
        LayoutChoice stored;
        LayoutTicks before;
        LayoutTicks after;
    } rows[] = {
        {{0, 0, 0}, {1, false, false}, {1, false, false}}, // a new file keeps preset 1
        {{4, 1, 1}, {1, false, false}, {4, true, true}},
        {{3, 0, 0}, {2, true, true}, {3, false, false}},
        {{7, 1, 0}, {2, false, true}, {2, true, false}}, // preset 7: the preset stays
        {{2, 2, 9}, {1, true, false}, {2, true, false}}, // other flag values change nothing
        {{255, 255, 255}, {4, false, true}, {4, false, true}},
    };
    for (const auto& row : rows) {
        LayoutTicks ticks = row.before;
        applyLayoutChoice(row.stored, ticks);
        EXPECT_EQ(ticks, row.after) << int(row.stored.preset) << ' ' << int(row.stored.logo) << ' '
                                    << int(row.stored.landscape);
    }

    EXPECT_EQ(layoutChoiceOf({3, true, true}, {1, 0, 0}), (LayoutChoice{3, 1, 1}));
    EXPECT_EQ(layoutChoiceOf({1, false, false}, {4, 1, 1}), (LayoutChoice{1, 0, 0}));
    EXPECT_EQ(layoutChoiceOf({0, true, false}, {7, 0, 0}), (LayoutChoice{7, 1, 0})); // none ticked: byte kept
}

TEST(EnvelopeRecords, AProfileLongerThanTheRecordIsReadFromItsStart)
{
    TempFolder folder;
    EnvelopeProfileRecord profile;
    profile.setSettings(sampleSettings());
    profile.setChoice({2, 0, 1});
    std::vector<std::uint8_t> bytes(profile.bytes().begin(), profile.bytes().end());
    bytes.resize(1000, 0xEE);
    writeBytes(folder / "dlugi.pro", bytes);
    EXPECT_EQ(loadRecord<EnvelopeProfileRecord>(folder / "dlugi.pro"), profile);
}

} // namespace
} // namespace wirtello
