#include "sync/field_merge.h"

#include "sync/content_lines.h"

#include <gtest/gtest.h>

using namespace wirtello::sync;

namespace {

// A card from a phone, with what the record cannot hold: a second phone, a
// birthday, a letter outside Windows-1250, texts longer than their fields,
// properties of its own and a grouped label.
const std::string kServer = "BEGIN:VCARD\r\nVERSION:3.0\r\nPRODID:-//Telefon//PL\r\nUID:c-1\r\n"
                            "N:Ćwik;Zoë;;;\r\nFN:Zoë Ćwik\r\n"
                            "TEL;TYPE=CELL:+48 600 000 001\r\nTEL;TYPE=HOME:+48 22 000 00 02\r\n"
                            "EMAIL;TYPE=INTERNET:zoe@example.pl\r\n"
                            "ADR;TYPE=WORK:;;ul. Długa 1;Szczebrzeszyn nad Wieprzem;;22-460;Polska\r\n"
                            "BDAY:1980-05-05\r\nNOTE:Notatka dłuższa niż pole rekordu\r\nX-PHONE-ID:abc\r\n"
                            "item1.URL:https://example.pl\r\nitem1.X-ABLABEL:strona\r\nEND:VCARD\r\n";

// The same card as the record shows it: one phone, the letter as "?", the
// town and the note cut to their fields.
const std::string kBaseLocal = "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:c-1\r\nN:Ćwik;Zo?;;;\r\nFN:Zo? Ćwik\r\n"
                               "TEL;TYPE=CELL:+48 600 000 001\r\nEMAIL;TYPE=INTERNET:zoe@example.pl\r\n"
                               "ADR;TYPE=WORK:;;ul. Długa 1;Szczebrzeszyn;;22-460;Polska\r\n"
                               "NOTE:Notatka dłuższa\r\nURL:https://example.pl\r\nEND:VCARD\r\n";

std::string replaced(std::string text, std::string_view what, std::string_view with)
{
    const std::size_t at = text.find(what);
    EXPECT_NE(at, std::string::npos) << what;
    if (at != std::string::npos)
        text.replace(at, what.size(), with);
    return text;
}

} // namespace

TEST(FieldMerge, APushChangesOnlyWhatChangedHere)
{
    const struct {
        const char* name;
        std::string local;
        std::string expected;
    } cases[] = {
        {"nothing changed here", kBaseLocal, kServer},
        {"an e-mail address", replaced(kBaseLocal, "zoe@example.pl", "zoe@firma.pl"),
         replaced(kServer, "zoe@example.pl", "zoe@firma.pl")},
        {"the street, with the town cut short here",
         replaced(kBaseLocal, "ul. Długa 1", "ul. Krótka 2"), replaced(kServer, "ul. Długa 1", "ul. Krótka 2")},
        {"the town itself", replaced(kBaseLocal, "Szczebrzeszyn;", "Zamość;"),
         replaced(kServer, "Szczebrzeszyn nad Wieprzem;", "Zamość;")},
        {"the surname, with a letter Windows-1250 lacks in the first name",
         replaced(replaced(kBaseLocal, "N:Ćwik", "N:Nowak"), "FN:Zo? Ćwik", "FN:Zo? Nowak"),
         replaced(replaced(kServer, "N:Ćwik", "N:Nowak"), "FN:Zoë Ćwik", "FN:Zoë Nowak")},
        {"the phone the record holds", replaced(kBaseLocal, "+48 600 000 001", "+48 600 999 999"),
         replaced(kServer, "+48 600 000 001", "+48 600 999 999")},
        {"the phone removed here", replaced(kBaseLocal, "TEL;TYPE=CELL:+48 600 000 001\r\n", ""),
         replaced(kServer, "TEL;TYPE=CELL:+48 600 000 001\r\n", "")},
        {"a fax added here",
         replaced(kBaseLocal, "EMAIL;", "TEL;TYPE=FAX:+48 22 111 11 11\r\nEMAIL;"),
         replaced(kServer, "EMAIL;", "TEL;TYPE=FAX:+48 22 111 11 11\r\nEMAIL;")},
        {"the web address of a grouped property", replaced(kBaseLocal, "https://example.pl", "https://nowa.pl"),
         replaced(kServer, "https://example.pl", "https://nowa.pl")},
        {"the phone's type", replaced(kBaseLocal, "TEL;TYPE=CELL", "TEL;TYPE=WORK"),
         replaced(kServer, "TEL;TYPE=CELL", "TEL;TYPE=WORK")},
        {"the note, cut here, rewritten", replaced(kBaseLocal, "NOTE:Notatka dłuższa", "NOTE:Nowa"),
         replaced(kServer, "NOTE:Notatka dłuższa niż pole rekordu", "NOTE:Nowa")},
        {"the end of a note cut here", replaced(kBaseLocal, "NOTE:Notatka dłuższa", "NOTE:Notatka dłuższa!"),
         replaced(kServer, "NOTE:Notatka dłuższa niż pole rekordu", "NOTE:Notatka dłuższa!")},
        {"a letter typed in a name with one Windows-1250 lacks", replaced(kBaseLocal, "FN:Zo? Ćwik", "FN:Zo? Ćwikła"),
         replaced(kServer, "FN:Zoë Ćwik", "FN:Zoë Ćwikła")},
        {"a letter typed before one Windows-1250 lacks", replaced(kBaseLocal, "FN:Zo? Ćwik", "FN:Zoo? Ćwik"),
         replaced(kServer, "FN:Zoë Ćwik", "FN:Zooë Ćwik")},
        {"the letter Windows-1250 lacks replaced", replaced(kBaseLocal, "FN:Zo? Ćwik", "FN:Zoe Ćwik"),
         replaced(kServer, "FN:Zoë Ćwik", "FN:Zoe Ćwik")},
        {"a birthday unknown here stays when the card here gains a title",
         replaced(kBaseLocal, "END:VCARD", "TITLE:Kierownik\r\nEND:VCARD"),
         replaced(kServer, "END:VCARD", "TITLE:Kierownik\r\nEND:VCARD")},
    };
    for (const auto& c : cases) {
        const std::string merged = mergeChangedFields(kServer, kBaseLocal, c.local);
        // Lines as written, in the server's order: nothing but the change moved.
        EXPECT_EQ(parseContentLines(merged), parseContentLines(c.expected)) << c.name << "\n" << merged;
    }
}

TEST(FieldMerge, AChangedValueReplacesTheServerPropertyItWasReadFrom)
{
    // Two e-mail addresses here, the second one changed: the server's second
    // one changes even though it comes first there.
    const std::string server = "BEGIN:VCARD\r\nVERSION:3.0\r\nEMAIL:b@x.pl\r\nEMAIL:c@x.pl\r\nEMAIL:a@x.pl\r\nEND:VCARD\r\n";
    const std::string base = "BEGIN:VCARD\r\nVERSION:3.0\r\nEMAIL:a@x.pl\r\nEMAIL:b@x.pl\r\nEND:VCARD\r\n";
    const std::string local = "BEGIN:VCARD\r\nVERSION:3.0\r\nEMAIL:a@x.pl\r\nEMAIL:d@x.pl\r\nEND:VCARD\r\n";
    EXPECT_EQ(mergeChangedFields(server, base, local),
              "BEGIN:VCARD\r\nVERSION:3.0\r\nEMAIL:d@x.pl\r\nEMAIL:c@x.pl\r\nEMAIL:a@x.pl\r\nEND:VCARD\r\n");
}
