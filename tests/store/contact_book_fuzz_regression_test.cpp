// Inputs the fuzzer found that broke the contact book.
#include "store/contact_book.h"
#include "store/cp1250.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

namespace wirtello {
namespace {

// A rename keeps the first three characters of the entry as its id, also when
// they are letters beyond ASCII (a database not written by this program).
TEST(ContactBookFuzzRegression, RenameKeepsAnIdOfNonAsciiLetters)
{
    struct Case {
        const char* storedDisplay; // Windows-1250
        const char* name;
        const char* expected;      // UTF-8
    };
    const Case cases[] = {
        {"\xb9\xea\x9c x", "inna", "ąęś inna"},
        {"0\xb3" "5 Kowalski", "Nowak", "0ł5 Nowak"},
        {"\xa3" "d", "Ewa", "Łd Ewa"},
        {"007 Kowalski", "Nowak", "007 Nowak"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        test::TempFolder folder({"NOTATKI"});
        ContactDatabase database;
        database.setRawText(ContactField::Display, 0, c.storedDisplay);
        database.store(contactDatabasePath(folder.path()));
        ContactBook book(folder.path());
        book.load();
        EXPECT_EQ(book.idOfSlot(0), fromCp1250(std::string(c.storedDisplay).substr(0, 3)));
        EXPECT_EQ(book.rename(0, c.name), c.expected);
        EXPECT_EQ(book.rawText(ContactField::Display, 0), toCp1250(c.expected));
    }
}

} // namespace
} // namespace wirtello
