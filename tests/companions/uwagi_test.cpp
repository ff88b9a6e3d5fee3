#include "companions/uwagi/comment_log.h"
#include "companions/uwagi/comments_start.h"
#include "companions/uwagi/comments_window.h"

#include "tests/support/recording_print_surface.h"
#include "tests/support/scripted_platform.h"
#include "tests/companions/companion_test_files.h"
#include "tests/support/temp_folder.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace wirtello;

namespace {

namespace fs = std::filesystem;
using test::readText;
using test::writeText;

const char* const kTwoComments = "WIRTELLO-KOMENTARZE 1\n"
                                 "2026-12-05 17:05:00\tjkowalski\tOddzwonić.\\nPani Łęcka prosi o ofertę.\n"
                                 "2026-12-01 09:00:00\tanowak\tŻółć — wysłano umowę.\n";

struct OpenComments {
    OpenComments(const fs::path& program, ScriptedPlatform& platform)
        : window(openComments({{"007.kom", "Komentarze dla: Anna Łęcka Żółć "}, program}, platform))
    {
        window->show();
    }
    template <typename T> T* child(const char* name) { return window->findChild<T*>(name); }
    void type(const QString& text) { child<QPlainTextEdit>("entryEdit")->setPlainText(text); }
    void click(const char* button) { child<QPushButton>(button)->click(); }
    void select(int row)
    {
        auto* list = child<QTreeWidget>("commentList");
        list->setCurrentItem(list->topLevelItem(row));
    }
    QStringList rows()
    {
        QStringList shown;
        auto* list = child<QTreeWidget>("commentList");
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            shown << list->topLevelItem(i)->text(0) + " | " + list->topLevelItem(i)->text(1) + " | " +
                         list->topLevelItem(i)->text(2);
        return shown;
    }
    std::unique_ptr<QWidget> window;
};

} // namespace

TEST(UwagiFormat, CommentsRoundTripThroughTheirFile)
{
    const std::vector<std::vector<Comment>> rows = {
        {},
        {{"2026-12-07 17:05:00", "jkowalski", "Łęcka\nŻółć"}},
        {{"2026-12-07 17:05:00", "ania", "tab\there, \\n stays, back\\slash\r\n"}, {"2026-01-01 00:00:00", "b", ""}},
    };
    for (const auto& comments : rows) {
        const std::string file = formatComments(comments);
        EXPECT_EQ(parseComments(file), comments) << file;
    }
    EXPECT_EQ(formatComments(rows[1]), "WIRTELLO-KOMENTARZE 1\n2026-12-07 17:05:00\tjkowalski\tŁęcka\\nŻółć\n");
    EXPECT_EQ(formatComments(rows[0]), "");
}

TEST(UwagiFormat, FilesNotOfTheFormatAreRefused)
{
    for (const char* file : {
             "2026-12-07 17:05:00\tjan\ttekst\n",                        // no header
             "WIRTELLO-KOMENTARZE 1\n2026-12-07 17:05:00\tjan\ttekst",   // cut short
             "WIRTELLO-KOMENTARZE 1\n2026-12-7 17:05:00\tjan\ttekst\n",  // date
             "WIRTELLO-KOMENTARZE 1\n2026-12-07 17:05:00\t\ttekst\n",    // no author
             "WIRTELLO-KOMENTARZE 1\n2026-12-07 17:05:00\tjan\n",        // no text field
             "WIRTELLO-KOMENTARZE 1\n2026-12-07 17:05:00\tjan\tzły \\x\n", // escape
         })
        EXPECT_FALSE(parseComments(file).has_value()) << file;
}

// Adding puts the comment on top with the clock's time and the login name,
// on disk at once; changing keeps its time and writer; deleting asks.
TEST(Uwagi, CommentsAreAddedChangedAndDeletedOnDisk)
{
    test::TempFolder program;
    writeText(program / "uwagi/007.kom", kTwoComments);
    ScriptedPlatform platform;
    OpenComments comments(program.path(), platform);
    EXPECT_EQ(comments.window->windowTitle(), QStringLiteral("Komentarze dla: Anna Łęcka Żółć"));
    EXPECT_EQ(comments.child<QLabel>("titleLabel")->text(), QStringLiteral("Komentarze dla: Anna Łęcka Żółć"));

    comments.type(QStringLiteral("Żółta teczka\nw szafie\n\n"));
    comments.click("addButton");
    const std::string added = "2026-12-06 09:05:07\t" + loginName() + "\tŻółta teczka\\nw szafie\n";
    const std::string header = "WIRTELLO-KOMENTARZE 1\n";
    EXPECT_EQ(readText(program / "uwagi/007.kom"), std::string(kTwoComments).insert(header.size(), added));
    EXPECT_TRUE(comments.child<QPlainTextEdit>("entryEdit")->toPlainText().isEmpty());
    EXPECT_EQ(comments.rows().first(), "06.12.2026 09:05 | " + QString::fromStdString(loginName()) + " | Żółta teczka\nw szafie");

    comments.select(2);
    comments.click("editButton");
    EXPECT_EQ(comments.child<QPlainTextEdit>("entryEdit")->toPlainText(), QStringLiteral("Żółć — wysłano umowę."));
    comments.type(QStringLiteral("Umowa podpisana."));
    comments.click("addButton");
    EXPECT_EQ(comments.rows().last(), QStringLiteral("01.12.2026 09:00 | anowak | Umowa podpisana."));

    for (const bool confirm : {false, true}) {
        comments.select(1);
        platform.askAnswers = {confirm};
        comments.click("deleteButton");
        EXPECT_EQ(platform.askCaptions.last(), QStringLiteral("Pytanie"));
        EXPECT_EQ(comments.rows().size(), confirm ? 2 : 3);
    }
    EXPECT_EQ(platform.asked.last(),
              QStringLiteral("Usunąć komentarz z 05.12.2026 17:05 (jkowalski)?\n\n„Oddzwonić.”"));
    EXPECT_EQ(readText(program / "uwagi/007.kom"),
              header + added + "2026-12-01 09:00:00\tanowak\tUmowa podpisana.\n");
}

TEST(Uwagi, SearchShowsOnlyMatchingComments)
{
    const struct {
        const char* wanted;
        int shown;
        const char* count;
    } rows[] = {{"", 2, "Komentarze: 2"}, {"łĘCKA", 1, "Znaleziono: 1 z 2"}, {"anowak", 1, "Znaleziono: 1 z 2"},
                {"01.12.2026", 1, "Znaleziono: 1 z 2"}, {"żaba", 0, "Znaleziono: 0 z 2"}};
    test::TempFolder program;
    writeText(program / "uwagi/007.kom", kTwoComments);
    ScriptedPlatform platform;
    OpenComments comments(program.path(), platform);
    for (const auto& row : rows) {
        comments.child<QLineEdit>("searchEdit")->setText(QString::fromUtf8(row.wanted));
        EXPECT_EQ(comments.rows().size(), row.shown) << row.wanted;
        EXPECT_EQ(comments.child<QLabel>("countLabel")->text(), QString::fromUtf8(row.count));
    }
}

// A failed store leaves file, list and typed text as they were; another
// holder of the lock makes the window read-only with a note.
TEST(Uwagi, NothingIsLostWhenTheFileCannotBeWritten)
{
    test::TempFolder program;
    fs::create_directory(program / "uwagi");
    const fs::path file = program / "uwagi/007.kom";
    writeText(file, kTwoComments);
    fs::permissions(file, fs::perms::owner_read);
    ScriptedPlatform platform;
    {
        OpenComments comments(program.path(), platform);
        comments.type(QStringLiteral("nowy"));
        comments.click("addButton");
        EXPECT_EQ(platform.errors.size(), 1u);
        EXPECT_EQ(comments.rows().size(), 2);
        EXPECT_EQ(comments.child<QPlainTextEdit>("entryEdit")->toPlainText(), QStringLiteral("nowy"));
        platform.threeWayAnswers = {Platform::Answer::No};
        EXPECT_TRUE(comments.window->close());
    }
    EXPECT_EQ(readText(file), kTwoComments);

    DocumentAccess elsewhere = openDocumentAccess(file);
    OpenComments readOnly(program.path(), platform);
    EXPECT_FALSE(readOnly.child<QLabel>("readOnlyLabel")->isHidden());
    readOnly.select(0);
    readOnly.type(QStringLiteral("x"));
    for (const char* button : {"addButton", "editButton", "deleteButton"})
        EXPECT_FALSE(readOnly.child<QPushButton>(button)->isEnabled()) << button;
}

TEST(Uwagi, DamagedFilesAndBadNamesAreReported)
{
    test::TempFolder program;
    ScriptedPlatform platform;
    EXPECT_THROW(openComments({{"../a.kom", "Komentarze"}, program.path()}, platform), std::invalid_argument);
    writeText(program / "uwagi/007.kom", "tekst\n");
    OpenComments comments(program.path(), platform);
    EXPECT_TRUE(comments.rows().isEmpty());
    ASSERT_EQ(platform.informed.size(), 1);
    EXPECT_TRUE(platform.informed[0].contains(QStringLiteral("007.kom.uszkodzony-20261206-090507")));
    EXPECT_EQ(readText(program / "uwagi/007.kom.uszkodzony-20261206-090507"), "tekst\n");
}

TEST(Uwagi, PrintoutHasTheTitleLineAndEveryShownComment)
{
    test::TempFolder program;
    writeText(program / "uwagi/007.kom", kTwoComments);
    ScriptedPlatform platform;
    OpenComments comments(program.path(), platform);
    RecordingPrintSurface drawn;
    platform.saveFileAnswers = {program / "komentarze.pdf"};
    platform.pdfFactory = [&drawn](const fs::path&, PaperSize) { return drawn.proxy(); };
    auto* window = dynamic_cast<CommentsWindow*>(comments.window.get());
    ASSERT_NE(window, nullptr);
    window->print(PrintDestination::Pdf);
    std::vector<std::string> texts;
    for (const auto& text : drawn.texts)
        texts.push_back(text.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"Komentarze dla: Anna Łęcka Żółć", "05.12.2026 17:05   jkowalski",
                                               "    Oddzwonić.", "    Pani Łęcka prosi o ofertę.", "",
                                               "01.12.2026 09:00   anowak", "    Żółć — wysłano umowę."}));
}
