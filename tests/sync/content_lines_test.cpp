#include "sync/content_lines.h"

#include <gtest/gtest.h>

using namespace wirtello::sync;

namespace {

constexpr const char* kCard = "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:a1\r\nFN:Jan Kowalski\r\n"
                              "TEL;TYPE=CELL;TYPE=PREF:+48 600 100 200\r\nNOTE:Pierwsza linia\\nDruga\r\nEND:VCARD\r\n";

} // namespace

TEST(ContentLines, RewritesThatChangeNothingReadAsTheSameContent)
{
    const struct {
        const char* name;
        const char* text;
        bool same;
    } cases[] = {
        {"LF line ends and lower-case names",
         "begin:VCARD\nversion:3.0\nuid:a1\nfn:Jan Kowalski\ntel;type=CELL;type=PREF:+48 600 100 200\n"
         "NOTE:Pierwsza linia\\nDruga\nend:VCARD\n",
         true},
        {"folded lines", "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:a1\r\nFN:Jan Kow\r\n alski\r\n"
                         "TEL;TYPE=CELL;TYPE=PREF:+48 600 100 200\r\nNOTE:Pierwsza linia\\nDruga\r\nEND:VCARD\r\n",
         true},
        {"properties and parameters reordered, PRODID and REV added",
         "BEGIN:VCARD\r\nVERSION:3.0\r\nPRODID:-//Serwer//PL\r\nREV:20261208T101010Z\r\nFN:Jan Kowalski\r\nUID:a1\r\n"
         "NOTE:Pierwsza linia\\nDruga\r\nTEL;TYPE=PREF;TYPE=CELL:+48 600 100 200\r\nEND:VCARD\r\n",
         true},
        {"a changed phone", "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:a1\r\nFN:Jan Kowalski\r\n"
                            "TEL;TYPE=CELL;TYPE=PREF:+48 600 100 201\r\nNOTE:Pierwsza linia\\nDruga\r\nEND:VCARD\r\n",
         false},
        {"a property added", "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:a1\r\nFN:Jan Kowalski\r\nBDAY:1970-01-01\r\n"
                             "TEL;TYPE=CELL;TYPE=PREF:+48 600 100 200\r\nNOTE:Pierwsza linia\\nDruga\r\nEND:VCARD\r\n",
         false},
        {"a value's letter case", "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:a1\r\nFN:jan kowalski\r\n"
                                  "TEL;TYPE=CELL;TYPE=PREF:+48 600 100 200\r\nNOTE:Pierwsza linia\\nDruga\r\nEND:VCARD\r\n",
         false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sameContent(kCard, c.text), c.same) << c.name;
}

TEST(ContentLines, ComponentsCompareWhateverTheirOrder)
{
    const std::string event = "BEGIN:VEVENT\r\nUID:e1\r\nDTSTART:20261208T100000Z\r\nRRULE:FREQ=WEEKLY\r\n"
                              "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT15M\r\nEND:VALARM\r\nEND:VEVENT\r\n";
    const std::string exception = "BEGIN:VEVENT\r\nUID:e1\r\nRECURRENCE-ID:20261215T100000Z\r\n"
                                  "DTSTART:20261215T120000Z\r\nEND:VEVENT\r\n";
    const std::string a = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + event + exception + "END:VCALENDAR\r\n";
    const std::string b = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:inny\r\n" + exception + event + "END:VCALENDAR\r\n";
    EXPECT_TRUE(sameContent(a, b));
    // The alarm belongs to the series, not to the exception.
    const std::string moved = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n"
                              "BEGIN:VEVENT\r\nUID:e1\r\nDTSTART:20261208T100000Z\r\nRRULE:FREQ=WEEKLY\r\nEND:VEVENT\r\n"
                              "BEGIN:VEVENT\r\nUID:e1\r\nRECURRENCE-ID:20261215T100000Z\r\nDTSTART:20261215T120000Z\r\n"
                              "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT15M\r\nEND:VALARM\r\nEND:VEVENT\r\n"
                              "END:VCALENDAR\r\n";
    EXPECT_FALSE(sameContent(a, moved));
    EXPECT_EQ(firstUid(a), "e1");
}

TEST(ContentLines, LongLinesFoldWithinSeventyFiveOctetsAndReadBack)
{
    std::vector<ContentLine> lines = parseContentLines(kCard);
    std::string note;
    for (int i = 0; i < 40; ++i)
        note += "Zażółć gęślą jaźń ";
    lines[4].value = note;
    const std::string text = writeContentLines(lines);
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        ASSERT_NE(end, std::string::npos);
        EXPECT_LE(end - start, 75u);
        // No line starts inside a UTF-8 sequence.
        if (end > start) {
            EXPECT_NE(static_cast<unsigned char>(text[start + (text[start] == ' ' ? 1 : 0)]) & 0xC0, 0x80);
        }
        start = end + 2;
    }
    EXPECT_EQ(parseContentLines(text), lines);
}

TEST(ContentLines, UidGoesAfterVersionOnlyWhenMissing)
{
    EXPECT_EQ(withUid(kCard, "inny"), kCard);
    const std::string added = withUid("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ala\r\nEND:VCARD\r\n", "u-1");
    EXPECT_EQ(added, "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:u-1\r\nFN:Ala\r\nEND:VCARD\r\n");
    const std::string todo = withUid("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VTODO\r\nSUMMARY:x\r\nEND:VTODO\r\n"
                                     "END:VCALENDAR\r\n",
                                     "t-1");
    EXPECT_EQ(todo, "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VTODO\r\nUID:t-1\r\nSUMMARY:x\r\nEND:VTODO\r\nEND:VCALENDAR\r\n");
}
