#include "store/contact_database.h"
#include "store/io_error.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

using namespace wirtello;
using wirtello::test::countedAt;
using wirtello::test::readBytes;
using wirtello::test::TempFolder;
using wirtello::test::writeBytes;

TEST(ContactDatabase, ArraysLieAtTheirFileOffsets)
{
    const std::vector<std::pair<ContactField, std::size_t>> offsets = {
        {ContactField::Display, 0},        {ContactField::Id, 100701},      {ContactField::FirstLine, 106212},
        {ContactField::SecondLine, 121743}, {ContactField::Street, 137274},  {ContactField::Town, 162825},
        {ContactField::Phone, 188376},     {ContactField::Fax, 203907},     {ContactField::Mobile, 219438},
        {ContactField::Email, 234969},     {ContactField::Web, 260520},     {ContactField::Messenger, 286071},
        {ContactField::PhotoPath, 311622},
    };
    for (const auto& [field, offset] : offsets)
        EXPECT_EQ(contactArrayLayout(field).offset, offset);
    const auto last = contactArrayLayout(ContactField::PhotoPath);
    EXPECT_EQ(last.offset + (last.capacity + 1) * kSlotCount, kContactDatabaseSize);
}

TEST(ContactDatabase, StoredFileHoldsFieldsAtTheirBytes)
{
    TempFolder folder({"NOTATKI"});
    ContactDatabase db;
    db.setText(ContactField::Email, 2, "jan@przykład.pl");
    db.setText(ContactField::FirstLine, 0, std::string(40, 'x'));
    db.setText(ContactField::Display, 230, std::string(230, 'n'));
    db.store(contactDatabasePath(folder.path()));

    const auto bytes = readBytes(folder / "NOTATKI/Wirtello_nazwy_tematow.dat");
    ASSERT_EQ(bytes.size(), kContactDatabaseSize);
    EXPECT_EQ(countedAt(bytes, 235071), "jan@przyk\xB3" "ad.pl");
    EXPECT_EQ(bytes[106212], 30);
    EXPECT_EQ(bytes[230 * 201], 200);

    ContactDatabase loaded;
    loaded.load(contactDatabasePath(folder.path()));
    EXPECT_EQ(loaded.text(ContactField::Email, 2), "jan@przykład.pl");
    EXPECT_TRUE(loaded.isUsed(230));
    EXPECT_FALSE(loaded.isUsed(0));
}

TEST(ContactDatabase, ShortFileFailsToLoad)
{
    TempFolder folder({"NOTATKI"});
    writeBytes(folder / "NOTATKI/Wirtello_nazwy_tematow.dat", std::vector<std::uint8_t>(1000, 1));
    ContactDatabase db;
    EXPECT_THROW(db.load(contactDatabasePath(folder.path())), IoError);
}

TEST(ContactIds, TextIsPaddedToThreeDigits)
{
    EXPECT_EQ(contactIdText(0), "000");
    EXPECT_EQ(contactIdText(7), "007");
    EXPECT_EQ(contactIdText(42), "042");
    EXPECT_EQ(contactIdText(123), "123");
    EXPECT_EQ(contactIdText(1000), "1000");
}

TEST(ContactIds, CounterFileIsFourLittleEndianBytes)
{
    TempFolder folder({"NOTATKI"});
    createContactFilesIfMissing(folder.path());
    EXPECT_EQ(readBytes(folder / "NOTATKI/Wirtello_id_tematow.dat"), std::vector<std::uint8_t>(4, 0));
    EXPECT_EQ(readBytes(folder / "NOTATKI/Wirtello_nazwy_tematow.dat"), std::vector<std::uint8_t>(kContactDatabaseSize, 0));

    writeIdCounter(idCounterPath(folder.path()), 0x01020304);
    EXPECT_EQ(readBytes(folder / "NOTATKI/Wirtello_id_tematow.dat"), (std::vector<std::uint8_t>{4, 3, 2, 1}));
    EXPECT_EQ(readIdCounter(idCounterPath(folder.path())), 0x01020304);

    createContactFilesIfMissing(folder.path());
    EXPECT_EQ(readIdCounter(idCounterPath(folder.path())), 0x01020304);
}
