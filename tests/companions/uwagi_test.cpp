#include "companions/uwagi/comment_log.h"
#include "companions/uwagi/comments_start.h"
#include "companions/uwagi/comments_window.h"
#include "companions/companion_kit/document_watch.h"

#include "tests/support/recording_print_surface.h"
#include "tests/support/scripted_platform.h"
#include "tests/companions/companion_test_files.h"
#include "tests/companions/companion_window_checks.h"
#include "platform/session_end.h"
#include "tests/support/temp_folder.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QScreen>
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
    void pressEnter()
    {
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(child<QTreeWidget>("commentList"), &enter);
    }
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
                {"01.12.2026", 1, "Znaleziono: 1 z 2"}, {"żaba", 0, "Znaleziono: 0 z 2"},
                // Polish marks left out or typed where there are none
                {"lecka", 1, "Znaleziono: 1 z 2"}, {"ZOLC", 1, "Znaleziono: 1 z 2"}, {"Oddzwónić", 1, "Znaleziono: 1 z 2"}};
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

// A bad line is named with its reason and the comments read are shown: Tak
// keeps a copy of the file aside and goes on writable, Nie stays read-only
// with the file untouched.
TEST(Uwagi, DamagedFilesAndBadNamesAreReported)
{
    const std::string badEscape = std::string(kTwoComments) + "2026-11-30 08:00:00\tjan\tzły \\q znak\n";
    const struct {
        std::string file;
        bool keepAside;
        const char* named;
        int shown;
    } rows[] = {{"tekst\n", true, "007.kom, wiersz 1: to nie jest plik komentarzy", 0},
                {badEscape, false, "007.kom, wiersz 4: zły znak po „\\” w tekście.", 2}};
    for (const auto& row : rows) {
        test::TempFolder program;
        ScriptedPlatform platform;
        EXPECT_THROW(openComments({{"../a.kom", "Komentarze"}, program.path()}, platform), std::invalid_argument);
        writeText(program / "uwagi/007.kom", row.file);
        platform.askAnswers = {row.keepAside};
        OpenComments comments(program.path(), platform);
        EXPECT_EQ(comments.rows().size(), row.shown);
        ASSERT_EQ(platform.asked.size(), 1);
        EXPECT_TRUE(platform.asked[0].contains(QString::fromUtf8(row.named))) << platform.asked[0].toStdString();
        EXPECT_EQ(comments.child<QLabel>("readOnlyLabel")->isHidden(), row.keepAside);
        const fs::path aside = program / "uwagi/007.kom.uszkodzony-20261206-090507";
        EXPECT_EQ(fs::exists(aside), row.keepAside);
        EXPECT_EQ(readText(row.keepAside ? aside : program / "uwagi/007.kom"), row.file);
    }
}

TEST(Uwagi, PrintoutHasTheTitleLineAndEveryShownComment)
{
    test::TempFolder program;
    writeText(program / "uwagi/007.kom", kTwoComments);
    ScriptedPlatform platform;
    OpenComments comments(program.path(), platform);
    auto* window = dynamic_cast<CommentsWindow*>(comments.window.get());
    ASSERT_NE(window, nullptr);
    const auto printed = [&] {
        RecordingPrintSurface drawn;
        platform.saveFileAnswers = {program / "komentarze.pdf"};
        platform.pdfFactory = [&drawn](const fs::path&, PaperSize) { return drawn.proxy(); };
        window->print(PrintDestination::Pdf);
        std::vector<std::string> texts;
        for (const auto& text : drawn.texts)
            texts.push_back(text.text);
        return texts;
    };
    EXPECT_EQ(printed(), (std::vector<std::string>{"Komentarze dla: Anna Łęcka Żółć", "05.12.2026 17:05   jkowalski",
                                                   "    Oddzwonić.", "    Pani Łęcka prosi o ofertę.", "",
                                                   "01.12.2026 09:00   anowak", "    Żółć — wysłano umowę."}));
    comments.child<QLineEdit>("searchEdit")->setText(QStringLiteral("zolc")); // only what the search shows
    EXPECT_EQ(printed(), (std::vector<std::string>{"Komentarze dla: Anna Łęcka Żółć", "01.12.2026 09:00   anowak",
                                                   "    Żółć — wysłano umowę."}));
}

// The reader keeps every comment it can read and names the first line it refuses.
TEST(UwagiFormat, BadLinesAreNamedAndTheOthersKept)
{
    const std::string header = "WIRTELLO-KOMENTARZE 1\n", good = "2026-12-05 17:05:00\tjan\tdobry\n";
    const struct {
        std::string file;
        DocumentProblem problem;
        std::size_t kept;
    } rows[] = {
        {header + good + "2026-12-03 10:00:00\tjan\tzły \\q\n" + good, {3, "zły znak po „\\” w tekście"}, 2},
        {header + "2026-12-3 10:00:00\tjan\tx\n" + good, {2, "zła data „2026-12-3 10:00:00”"}, 1},
        {header + good + "bez pól\n" + "2026-12-03 10:00:00\t\tx\n", {3, "brak pól rozdzielonych tabulatorem (data, autor, tekst)"}, 1},
        {header + "2026-12-03 10:00:00\t\tx\n", {2, "brak autora"}, 0},
        {header + good + good.substr(0, 25), {3, "wiersz urwany (brak końca wiersza)"}, 1},
        {"KOMENTARZE\n" + good, {1, "to nie jest plik komentarzy (brak nagłówka „WIRTELLO-KOMENTARZE 1”)"}, 0},
    };
    for (const auto& row : rows) {
        CommentFile read;
        EXPECT_EQ(readComments(row.file, read), row.problem) << row.file;
        EXPECT_EQ(read.comments.size(), row.kept) << row.file;
    }
}

// A CRLF file opens without a word and keeps its line ends when a comment is added.
TEST(Uwagi, CrlfFilesOpenAndKeepTheirLineEnds)
{
    test::TempFolder program;
    const fs::path file = program / "uwagi/007.kom";
    writeText(file, "WIRTELLO-KOMENTARZE 1\r\n2026-12-01 09:00:00\tanowak\tA\\r\\nB\r\n");
    ScriptedPlatform platform;
    OpenComments comments(program.path(), platform);
    EXPECT_EQ(comments.rows(), QStringList{QStringLiteral("01.12.2026 09:00 | anowak | A\r\nB")});
    comments.type(QStringLiteral("nowy"));
    comments.click("addButton");
    EXPECT_EQ(readText(file), "WIRTELLO-KOMENTARZE 1\r\n2026-12-06 09:05:07\t" + loginName() +
                                  "\tnowy\r\n2026-12-01 09:00:00\tanowak\tA\\r\\nB\r\n");
    EXPECT_TRUE(platform.informed.isEmpty());
}

// Enter on a comment starts its change. Another comment's change while text
// is typed asks first: Tak stores it, Nie drops it, Anuluj keeps typing.
TEST(Uwagi, TypedTextIsNotReplacedByAnotherCommentsChange)
{
    using Answer = Platform::Answer;
    const std::string newer = std::string(kTwoComments).substr(0, 22) + "2026-12-05 17:05:00\tjkowalski\t";
    const std::string older = "2026-12-01 09:00:00\tanowak\tŻółć — wysłano umowę.\n";
    const QString olderText = QStringLiteral("Żółć — wysłano umowę.");
    const QString adding = QStringLiteral("Dodać wpisany komentarz przed zmianą innego?");
    const struct {
        bool changing; // the typing changes the newer comment rather than adding one
        Answer answer;
        QString question, entry;
        std::string onDisk;
    } rows[] = {
        {false, Answer::Yes, adding, olderText,
         std::string(kTwoComments).insert(22, "2026-12-06 09:05:07\t" + loginName() + "\tnowy\n")},
        {false, Answer::No, adding, olderText, kTwoComments},
        {false, Answer::Cancel, adding, QStringLiteral("nowy"), kTwoComments},
        {true, Answer::Yes, QStringLiteral("Zapisać zmianę komentarza przed zmianą innego?"), olderText,
         newer + "nowy\n" + older},
    };
    for (const auto& row : rows) {
        test::TempFolder program;
        const fs::path file = program / "uwagi/007.kom";
        writeText(file, kTwoComments);
        ScriptedPlatform platform;
        OpenComments comments(program.path(), platform);
        if (row.changing) {
            comments.select(0);
            comments.pressEnter();
        }
        comments.type(QStringLiteral("nowy"));
        comments.select(1);
        platform.threeWayAnswers = {row.answer};
        row.changing ? comments.pressEnter() : comments.click("editButton"); // "Zmień" is off during a change
        EXPECT_EQ(platform.asked, QStringList{row.question});
        EXPECT_EQ(comments.child<QPlainTextEdit>("entryEdit")->toPlainText(), row.entry);
        EXPECT_EQ(readText(file), row.onDisk);
    }
}

// "Komentarze" pressed again for the same contact brings the open window up.
TEST(Uwagi, ASecondStartBringsTheFirstWindowUp)
{
    test::TempFolder program;
    ScriptedPlatform platform;
    OpenComments first(program.path(), platform);
    first.window->hide();
    EXPECT_EQ(openComments({{"007.kom", "Komentarze"}, program.path()}, platform), nullptr);
    for (int i = 0; i < 20 && !first.window->isVisible(); ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_TRUE(first.window->isVisible());
}

// After a deletion above a comment of two lines, the screen shows what the
// list draws afresh: no row is left drawn where it was.
TEST(Uwagi, ADeletionLeavesNoStaleRowsOnScreen)
{
    test::TempFolder program;
    writeText(program / "uwagi/007.kom", std::string(kTwoComments).insert(22, "2026-12-05 18:05:00\tjan\tx\n"));
    ScriptedPlatform platform;
    OpenComments comments(program.path(), platform);
    QWidget* viewport = comments.child<QTreeWidget>("commentList")->viewport();
    const auto screenShowsTheList = [&] {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
        const QPoint at = viewport->mapTo(comments.window.get(), QPoint(0, 0));
        const QPixmap screen = comments.window->screen()->grabWindow(comments.window->winId(), at.x(), at.y(),
                                                                     viewport->width(), viewport->height());
        return screen.toImage().convertToFormat(QImage::Format_RGB32) ==
               viewport->grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    EXPECT_TRUE(screenShowsTheList());
    comments.select(0);
    platform.askAnswers = {true};
    comments.click("deleteButton");
    ASSERT_EQ(comments.rows().size(), 2);
    EXPECT_TRUE(screenShowsTheList());
}

// A read-only copy shows what the other copy writes and, once that one has
// closed, offers to take over: Tak makes it writable, Nie leaves it read-only.
TEST(Uwagi, AReadOnlyCopyFollowsTheFileAndMayTakeOver)
{
    for (const bool takeOver : {true, false}) {
        test::TempFolder program;
        const fs::path file = program / "uwagi/007.kom";
        writeText(file, kTwoComments);
        std::optional<DocumentAccess> elsewhere = openDocumentAccess(file);
        ScriptedPlatform platform;
        OpenComments comments(program.path(), platform);
        auto* watch = comments.window->findChild<DocumentWatch*>();
        ASSERT_NE(watch, nullptr);
        writeCompanionText(file, std::string(kTwoComments).insert(22, "2026-12-06 08:00:00\tanowak\ttrzeci\n"));
        watch->check();
        EXPECT_EQ(comments.rows().first(), QStringLiteral("06.12.2026 08:00 | anowak | trzeci"));
        EXPECT_TRUE(platform.asked.isEmpty());

        elsewhere.reset(); // the other copy closes
        platform.askAnswers = {takeOver};
        watch->check();
        EXPECT_EQ(platform.asked, QStringList{QString::fromUtf8(kTakeOverQuestion)});
        EXPECT_EQ(comments.child<QLabel>("readOnlyLabel")->isHidden(), takeOver);
        comments.type(QStringLiteral("czwarty"));
        comments.click("addButton");
        EXPECT_EQ(parseComments(readText(file))->size(), takeOver ? 4u : 3u) << takeOver;
        comments.type(QString());
    }
}

// A comment that would take the file past what the reader opens is refused
// with the message that says what to do; the typing stays.
TEST(Uwagi, ACommentThatWouldOutgrowTheFileIsRefused)
{
    test::TempFolder program;
    const fs::path file = program / "uwagi/007.kom";
    std::string text = "WIRTELLO-KOMENTARZE 1\n2026-12-01 09:00:00\tanowak\t";
    text += std::string(kCompanionFileLimit - text.size() - 20, 'a') + "\n";
    writeText(file, text);
    ScriptedPlatform platform;
    OpenComments comments(program.path(), platform);
    comments.type(QStringLiteral("Jeszcze jeden komentarz."));
    comments.click("addButton");
    ASSERT_EQ(platform.errors.size(), 1u);
    EXPECT_EQ(platform.errors[0].operation(), DocumentTooLarge(file, kCompanionFileLimit).operation());
    EXPECT_EQ(comments.child<QPlainTextEdit>("entryEdit")->toPlainText(), QStringLiteral("Jeszcze jeden komentarz."));
    EXPECT_EQ(readText(file), text);
    comments.type(QString());
}

// The end of the desktop session stores a typed comment or a typed change as
// "Tak" to the close's question would, asking nothing; nothing typed, nothing written.
TEST(Uwagi, SessionEndStoresTypingWithoutAsking)
{
    const std::string header = "WIRTELLO-KOMENTARZE 1\n";
    const std::string older = "2026-12-01 09:00:00\tanowak\tŻółć — wysłano umowę.\n";
    const struct {
        const char* name;
        bool change; // the newest comment's change typed; else a new comment
        const char* typed;
        std::string newest; // the file's first comment line afterwards, without its date and author when added
    } cases[] = {
        {"new comment", false, "Nowy: Łęcka\ndzwoniła", "\tNowy: Łęcka\\ndzwoniła\n"},
        {"change", true, "Oddzwonić jutro.", "2026-12-05 17:05:00\tjkowalski\tOddzwonić jutro.\n"},
        {"nothing typed", false, "", "2026-12-05 17:05:00\tjkowalski\tOddzwonić.\\nPani Łęcka prosi o ofertę.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempFolder program;
        const fs::path file = program / "uwagi/007.kom";
        writeText(file, kTwoComments);
        ScriptedPlatform platform;
        OpenComments comments(program.path(), platform);
        if (c.change) {
            comments.select(0);
            comments.pressEnter();
        }
        if (*c.typed)
            comments.type(QString::fromUtf8(c.typed));
        storeForSessionEnd();
        storeForSessionEnd(); // a log-out cancelled, then a second one: stored once
        const std::string text = readText(file);
        EXPECT_NE(text.find(c.newest + (c.change ? older : std::string())), std::string::npos) << text;
        const std::size_t lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
        EXPECT_EQ(lines, c.change || !*c.typed ? 3u : 4u) << text;
        EXPECT_TRUE(text.starts_with(header));
        EXPECT_TRUE(platform.asked.isEmpty());
        EXPECT_TRUE(comments.window->close()) << "nothing left to ask about";
    }
}

// By keys alone: Tab leaves the list and the entry (Ctrl+Tab puts a tab in
// it), Escape closes asking about typing, every button has its own Alt letter,
// and a screen reader finds a name on every control.
TEST(Uwagi, KeyboardAndScreenReaderReachEverything)
{
    test::TempFolder program;
    writeText(program / "uwagi/007.kom", kTwoComments);
    ScriptedPlatform platform;
    OpenComments comments(program.path(), platform);
    ASSERT_TRUE(QTest::qWaitForWindowActive(comments.window.get()));
    EXPECT_EQ(test::namelessControls(comments.window.get()), QStringList());
    EXPECT_EQ(test::spokenName(comments.child<QWidget>("commentList")), QStringLiteral("Komentarze"));
    EXPECT_EQ(test::spokenName(comments.child<QWidget>("entryEdit")), QStringLiteral("Nowy komentarz:"));
    EXPECT_EQ(test::repeatedAltLetters(comments.window.get()), QStringList());

    comments.type(QStringLiteral("abc"));
    auto* entry = comments.child<QPlainTextEdit>("entryEdit");
    const struct {
        const char* from;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* to;
    } moves[] = {
        {"commentList", Qt::Key_Tab, Qt::NoModifier, "entryEdit"},
        {"commentList", Qt::Key_Backtab, Qt::ShiftModifier, "searchEdit"},
        {"entryEdit", Qt::Key_Tab, Qt::NoModifier, "addButton"},
        {"entryEdit", Qt::Key_Backtab, Qt::ShiftModifier, "commentList"},
    };
    for (const auto& m : moves) {
        SCOPED_TRACE(std::string(m.from) + " -> " + m.to);
        QWidget* reached = test::focusAfter(comments.child<QWidget>(m.from), m.key, m.modifiers);
        ASSERT_NE(reached, nullptr);
        EXPECT_EQ(reached->objectName().toStdString(), m.to);
    }
    EXPECT_EQ(entry->toPlainText(), QStringLiteral("abc"));
    entry->moveCursor(QTextCursor::End);
    QTest::keyClick(entry, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(entry->toPlainText(), QStringLiteral("abc\t"));

    platform.threeWayAnswers = {Platform::Answer::Cancel};
    QTest::keyClick(entry, Qt::Key_Escape);
    EXPECT_EQ(platform.asked, QStringList{QStringLiteral("Dodać wpisany komentarz przed zamknięciem?")});
    EXPECT_TRUE(comments.window->isVisible());
    platform.threeWayAnswers = {Platform::Answer::No};
    QTest::keyClick(comments.child<QWidget>("commentList"), Qt::Key_W, Qt::ControlModifier);
    EXPECT_FALSE(comments.window->isVisible());
}
