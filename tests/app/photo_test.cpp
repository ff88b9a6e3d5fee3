// Photographs on the card: choosing, storing, and the default picture.
#include "main_window_fixture.h"

#include "store/contact_database.h"

namespace wirtello::test {
namespace {

class PhotoTest : public MainWindowTest {
protected:
    PhotoTest()
    {
        writeJpeg(folder / "red.jpg", Qt::red);
        writeJpeg(folder / "green.jpg", Qt::green);
        writeDatabase({{0, "000 Adam"}, {1, "001 Bartek"}});
    }
};

TEST_F(PhotoTest, ChosenPhotoShowsAtOnceAndIsStoredBySave)
{
    start();
    clickRow(1);
    platform.openFileAnswers.push_back(folder / "red.jpg");
    toolButton("SpeedButton12")->click();
    ASSERT_EQ(platform.openFileRequests.size(), 1u);
    const FileDialogRequest& request = platform.openFileRequests[0];
    EXPECT_EQ(request.filter, QStringLiteral("Zdjęcia cyfrowe|*.jpg"));
    EXPECT_EQ(request.defaultExtension, "*.jpg");
    EXPECT_EQ(request.startFolder, folder.path());
    EXPECT_TRUE(isRed(shownColour()));
    EXPECT_FALSE(window->changesPending());
    EXPECT_EQ(data.contacts.text(ContactField::PhotoPath, 1), ""); // not before "Zapisz kontakt"

    toolButton("SpeedButton9")->click();
    EXPECT_EQ(data.contacts.text(ContactField::PhotoPath, 1), (folder / "red.jpg").string());
    EXPECT_FALSE(window->photoChosen());

    clickRow(0);
    EXPECT_TRUE(isBlue(shownColour()));
    clickRow(1);
    EXPECT_TRUE(isRed(shownColour()));

    // The dialog opens on the file last confirmed.
    platform.openFileAnswers.push_back(std::nullopt);
    toolButton("SpeedButton12")->click();
    EXPECT_EQ(platform.openFileRequests.back().fileName, QString::fromStdString((folder / "red.jpg").string()));
}

TEST_F(PhotoTest, CancelledDialogStoresNoPhoto)
{
    start();
    platform.openFileAnswers.push_back(folder / "red.jpg");
    toolButton("SpeedButton12")->click();
    toolButton("SpeedButton9")->click(); // Adam gets the red photo

    clickRow(1);
    platform.openFileAnswers.push_back(std::nullopt);
    toolButton("SpeedButton12")->click();
    EXPECT_FALSE(window->photoChosen());
    toolButton("SpeedButton9")->click();
    EXPECT_EQ(data.contacts.text(ContactField::PhotoPath, 1), "");
}

TEST_F(PhotoTest, PhotoChosenForOneContactIsNeverStoredOnAnother)
{
    start();
    platform.openFileAnswers.push_back(folder / "green.jpg");
    toolButton("SpeedButton12")->click(); // chosen while Adam is shown, not saved
    clickRow(1);
    EXPECT_FALSE(window->photoChosen());
    toolButton("SpeedButton9")->click();
    EXPECT_EQ(data.contacts.text(ContactField::PhotoPath, 1), "");
    EXPECT_EQ(data.contacts.text(ContactField::PhotoPath, 0), "");
}

// The dialog opens in the program folder whatever is current, and the
// program's own current folder is left alone.
TEST_F(PhotoTest, DialogStartsInTheProgramFolder)
{
    start();
    const std::filesystem::path elsewhere = folder / "FONT";
    std::filesystem::current_path(elsewhere);
    platform.openFileAnswers.push_back(std::nullopt);
    toolButton("SpeedButton12")->click();
    ASSERT_EQ(platform.openFileRequests.size(), 1u);
    EXPECT_EQ(platform.openFileRequests[0].startFolder, folder.path());
    EXPECT_EQ(std::filesystem::current_path(), elsewhere);
}

TEST_F(PhotoTest, UndecodableChosenFileIsNamedAndNotStored)
{
    writeBytes(folder / "broken.jpg", {0xFF, 0xD8, 0xFF, 0x00, 0x12});
    start();
    platform.openFileAnswers.push_back(folder / "broken.jpg");
    toolButton("SpeedButton12")->click();
    ASSERT_EQ(platform.errors.size(), 1u);
    EXPECT_EQ(platform.errors[0].path(), folder / "broken.jpg");
    toolButton("SpeedButton9")->click();
    EXPECT_EQ(data.contacts.text(ContactField::PhotoPath, 0), "");
}

TEST_F(PhotoTest, MissingPhotoFileShowsTheDefaultPictureSilently)
{
    writeDatabase({{0, "000 Adam", "", "", (folder / "gone.jpg").string()}});
    start();
    EXPECT_TRUE(isBlue(shownColour()));
    EXPECT_TRUE(platform.errors.empty());
}

// A folder brought over from Windows keeps its photo paths as they were
// written there; they are found below the program folder, the record unchanged.
TEST_F(PhotoTest, WindowsPhotoPathsAreFoundBelowTheProgramFolder)
{
    std::filesystem::copy_file(folder / "red.jpg", folder / "LOGO/Anna.JPG");
    writeDatabase({{0, "000 Anna", "", "", "C:\\Wirtello\\logo\\anna.jpg"}, {1, "001 Jan", "", "", "C:\\Inne\\jan.jpg"}});
    start();
    EXPECT_TRUE(isRed(shownColour()));
    EXPECT_EQ(data.contacts.text(ContactField::PhotoPath, 0), "C:\\Wirtello\\logo\\anna.jpg");
    clickRow(1);
    EXPECT_TRUE(isBlue(shownColour())); // nothing of that name here: the default picture
    EXPECT_TRUE(platform.errors.empty());
}

TEST_F(PhotoTest, UndecodablePhotoIsNamedAndTheSelectCompletes)
{
    writeBytes(folder / "broken.jpg", {'n', 'o', 't', ' ', 'j', 'p', 'g'});
    writeDatabase({{0, "000 Adam", "Polna 1"}, {1, "001 Bartek", "Leśna 2", "b@example.pl", (folder / "broken.jpg").string()}});
    start();
    clickRow(1);
    ASSERT_EQ(platform.errors.size(), 1u);
    EXPECT_EQ(platform.errors[0].path(), folder / "broken.jpg");
    EXPECT_TRUE(isBlue(shownColour()));
    EXPECT_EQ(lineEdit("ulica")->text(), QStringLiteral("Leśna 2"));
    EXPECT_EQ(lineEdit("mail")->text(), "b@example.pl");
    EXPECT_FALSE(window->changesPending());
}

} // namespace
} // namespace wirtello::test

namespace wirtello::test {
namespace {

// A name the photo path field cannot hold as it is would come back as
// another name: refused at once, the card left as it was.
TEST_F(PhotoTest, NamesThatCannotBeStoredAreRefused)
{
    struct Row {
        std::filesystem::path chosen;
        bool refused;
    };
    const std::string longName(260, 'z');
    const std::vector<Row> rows = {
        {folder / "Фото.jpg", true},
        {folder / "año.jpg", true},
        {folder / (longName + ".jpg"), true},
        {folder / "zdjęcie żółw.jpg", false},
    };
    std::filesystem::copy_file(folder / "red.jpg", folder / "zdjęcie żółw.jpg");
    start();
    clickRow(1);
    for (const Row& row : rows) {
        platform.informed.clear();
        platform.openFileAnswers.push_back(row.chosen);
        toolButton("SpeedButton12")->click();
        EXPECT_EQ(platform.informed.size(), row.refused ? 1u : 0u) << row.chosen;
        EXPECT_EQ(window->photoChosen(), !row.refused) << row.chosen;
        if (row.refused) {
            EXPECT_TRUE(platform.informed[0].contains(QStringLiteral("Zmień nazwę pliku"))) << row.chosen;
            EXPECT_TRUE(isBlue(shownColour())) << row.chosen; // still the default picture
        }
    }
    toolButton("SpeedButton9")->click();
    EXPECT_EQ(data.contacts.text(ContactField::PhotoPath, 1), (folder / "zdjęcie żółw.jpg").string());
}

} // namespace
} // namespace wirtello::test
