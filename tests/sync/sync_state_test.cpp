#include "sync/sync_state.h"

#include "store/io_error.h"
#include "store/record_file.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

using namespace wirtello;
using namespace wirtello::sync;
using wirtello::test::readBytes;
using wirtello::test::TempFolder;
using wirtello::test::writeBytes;

namespace {

SyncState sampleState()
{
    SyncState state;
    state.collectionHref = "/dav/jan/kontakty/";
    state.token = "http://serwer/ns/sync/42";
    state.entries.push_back({"17", "3f2a-uid", "/dav/jan/kontakty/3f2a-uid.vcf", "\"e1\"",
                             "BEGIN:VCARD\r\nFN:Łucja\\, Żak\r\nEND:VCARD\r\n", "BEGIN:VCARD\nFN:?ucja\nEND:VCARD\n"});
    state.entries.push_back({"18", "u2", "/dav/jan/kontakty/u2.vcf", std::nullopt, std::nullopt, std::nullopt});
    return state;
}

constexpr const char* kSampleText = "WIRTELLO-SYNC 1\n"
                                    "collection /dav/jan/kontakty/\n"
                                    "token http://serwer/ns/sync/42\n"
                                    "items 2\n"
                                    "item\n"
                                    "key 17\n"
                                    "uid 3f2a-uid\n"
                                    "href /dav/jan/kontakty/3f2a-uid.vcf\n"
                                    "etag \"e1\"\n"
                                    "server BEGIN:VCARD\\r\\nFN:Łucja\\\\, Żak\\r\\nEND:VCARD\\r\\n\n"
                                    "local BEGIN:VCARD\\nFN:?ucja\\nEND:VCARD\\n\n"
                                    "item\n"
                                    "key 18\n"
                                    "uid u2\n"
                                    "href /dav/jan/kontakty/u2.vcf\n"
                                    "end\n";

std::vector<std::uint8_t> bytesOf(std::string_view text)
{
    return {text.begin(), text.end()};
}

} // namespace

TEST(SyncStateFile, IsWrittenExactlyInTheDocumentedFormat)
{
    TempFolder folder;
    const auto path = syncStatePath(folder.path(), SyncScope::Contacts);
    EXPECT_EQ(path, folder.path() / "synchronizacja" / "kontakty.txt");
    saveSyncState(path, sampleState());
    EXPECT_EQ(readBytes(path), bytesOf(kSampleText));
    EXPECT_EQ(loadSyncState(path), sampleState());
}

TEST(SyncStateFile, EmptyStatesAndEmptyValuesReadBack)
{
    SyncState empty;
    EXPECT_EQ(formatSyncState(empty), "WIRTELLO-SYNC 1\ncollection \nitems 0\nend\n");
    EXPECT_EQ(parseSyncState(formatSyncState(empty)), empty);

    SyncState blanks;
    blanks.token = "";
    blanks.entries.push_back({"", "", "", "", "", ""});
    EXPECT_EQ(parseSyncState(formatSyncState(blanks)), blanks);

    TempFolder folder;
    EXPECT_EQ(loadSyncState(syncStatePath(folder.path(), SyncScope::Tasks)), SyncState{});
}

TEST(SyncStateFile, DamagedFilesAreRefusedWithAReason)
{
    const std::string good = kSampleText;
    const auto replaced = [&](std::string_view what, std::string_view with) {
        std::string text = good;
        const std::size_t at = text.find(what);
        EXPECT_NE(at, std::string::npos) << what;
        return text.replace(at, what.size(), with);
    };
    const struct {
        const char* name;
        std::string text;
        const char* reason;
    } cases[] = {
        {"another version", replaced("SYNC 1", "SYNC 2"), "wersji 1"},
        {"empty file", "", "przedwcześnie"},
        {"no end line", good.substr(0, good.size() - 4), "przedwcześnie"},
        {"no final line end", good.substr(0, good.size() - 1), "brak końca wiersza"},
        {"data after the end", good + "x\n", "po wierszu"},
        {"more items than there are", replaced("items 2", "items 3"), "„item”"},
        {"fewer items than there are", replaced("items 2", "items 1"), "„end”"},
        {"a count that is no number", replaced("items 2", "items 2x"), "liczba"},
        {"a huge count", replaced("items 2", "items 99999999999999"), "liczba"},
        {"a negative count", replaced("items 2", "items -1"), "liczba"},
        {"a count with a leading zero", replaced("items 2", "items 02"), "liczba"},
        {"an unknown escape", replaced("\\r\\nFN", "\\t\\nFN"), "sekwencja \\t"},
        {"a trailing backslash", replaced("uid u2", "uid u2\\"), "niedokończona"},
        {"a bare CR", replaced("uid u2", "uid u\r2"), "CR"},
        {"fields out of order", replaced("uid 3f2a-uid\nhref /dav/jan/kontakty/3f2a-uid.vcf",
                                          "href /dav/jan/kontakty/3f2a-uid.vcf\nuid 3f2a-uid"),
         "„uid”"},
        {"a server text without a local one", replaced("local BEGIN:VCARD\\nFN:?ucja\\nEND:VCARD\\n\n", ""),
         "„local”"},
        {"a local text without a server one", replaced("uid u2\nhref /dav/jan/kontakty/u2.vcf\n",
                                                       "uid u2\nhref /dav/jan/kontakty/u2.vcf\nlocal x\n"),
         "„end”"},
        {"a key twice", replaced("key 18", "key 17"), "klucz „17” powtarza się"},
        {"an href twice", replaced("href /dav/jan/kontakty/u2.vcf", "href /dav/jan/kontakty/3f2a-uid.vcf"),
         "powtarza się"},
        {"a word without its blank", replaced("key 18", "key18"), "„key”"},
    };
    TempFolder folder;
    const auto path = syncStatePath(folder.path(), SyncScope::Appointments);
    std::filesystem::create_directories(path.parent_path());
    for (const auto& c : cases) {
        writeBytes(path, bytesOf(c.text));
        try {
            loadSyncState(path);
            ADD_FAILURE() << c.name << " was read";
        } catch (const IoError& error) {
            EXPECT_NE(error.operation().find("Plik stanu synchronizacji jest uszkodzony"), std::string::npos) << c.name;
            EXPECT_NE(error.operation().find(c.reason), std::string::npos) << c.name << ": " << error.operation();
            EXPECT_EQ(error.path(), path);
        }
    }
}

TEST(SyncStateFile, EveryCutShortFileIsRefused)
{
    const std::string good = kSampleText;
    for (std::size_t size = 0; size < good.size(); ++size)
        EXPECT_THROW(parseSyncState(good.substr(0, size)), IoError) << size;
}

TEST(SyncStateFile, AStateTheReaderWouldRefuseIsNotWrittenAndTheOldFileStays)
{
    TempFolder folder;
    const auto path = syncStatePath(folder.path(), SyncScope::Contacts);
    saveSyncState(path, sampleState());
    SyncState twice = sampleState();
    twice.entries[1].href = twice.entries[0].href;
    EXPECT_THROW(saveSyncState(path, twice), IoError);
    SyncState half = sampleState();
    half.entries[1].localText = "x";
    EXPECT_THROW(saveSyncState(path, half), IoError);
    EXPECT_EQ(readBytes(path), bytesOf(kSampleText));

    // A failed write leaves the old state whole.
    setRecordWriteFaultForTests([](RecordWriteStep step) { return step != RecordWriteStep::Rename; });
    SyncState changed = sampleState();
    changed.token = "nowy";
    EXPECT_THROW(saveSyncState(path, changed), IoError);
    setRecordWriteFaultForTests({});
    EXPECT_EQ(loadSyncState(path), sampleState());
}
