// The contact database and its id counter, through the contact book as the
// main window uses it. The fuzz input describes the files (the database as
// patches over an empty one, so that small inputs reach every slot and field;
// sometimes short or long) and then a run of edits. Properties: the file is
// read byte for byte and stored byte for byte; the list shows exactly the used
// slots in slot order; an edit changes only what it names (an added contact
// takes an unused slot and the next id: the counter file's, but never one at
// or below an id the book held, since the counter file may be older than the
// database; a rename keeps the id, a removal moves
// the later contacts up with every byte of their fields); and whatever was
// stored reads back equal.
#include "fuzz/fuzz_support.h"
#include "store/contact_book.h"
#include "store/cp1250.h"

#include <array>
#include <limits>

using namespace wirtello;

namespace {

bool sameBytes(const ContactDatabase& a, const ContactDatabase& b)
{
    return std::equal(a.bytes().begin(), a.bytes().end(), b.bytes().begin());
}

std::vector<int> usedSlots(const ContactDatabase& database)
{
    std::vector<int> slots;
    for (int slot = 0; slot < kSlotCount; ++slot)
        if (database.isUsed(slot))
            slots.push_back(slot);
    return slots;
}

// Databases are 437 KB; the checks reuse two of them rather than allocate
// afresh for every edit.
ContactDatabase& scratchBefore()
{
    static ContactDatabase database;
    return database;
}

ContactDatabase& scratchExpected()
{
    static ContactDatabase database;
    return database;
}

ContactDatabase& copyOf(const ContactDatabase& database, ContactDatabase& into)
{
    std::copy(database.bytes().begin(), database.bytes().end(), into.bytes().begin());
    return into;
}

// The text a field reads as after storing `utf8` in it.
std::string storedAs(ContactField field, std::string_view utf8)
{
    return fromCp1250(toCp1250(utf8).substr(0, contactArrayLayout(field).capacity));
}

// The first three characters of a display text as stored.
std::string firstThree(const ContactDatabase& database, int slot)
{
    return fromCp1250(database.rawText(ContactField::Display, slot).substr(0, 3));
}

// The database file the input describes, in a buffer kept from run to run.
const std::vector<std::uint8_t>& databaseFile(fuzz::Input& input)
{
    static std::vector<std::uint8_t> file;
    file.assign(kContactDatabaseSize, 0);
    const int patches = input.byte() % 32;
    for (int i = 0; i < patches && !input.empty(); ++i) {
        const int slot = input.u16() % kSlotCount;
        const auto field = static_cast<ContactField>(input.byte() % kContactFieldCount);
        const ContactArrayLayout layout = contactArrayLayout(field);
        const auto bytes = input.take(std::min<std::size_t>(input.byte(), layout.capacity + 1));
        std::copy(bytes.begin(), bytes.end(), file.begin() + static_cast<std::ptrdiff_t>(layout.offset + slot * (layout.capacity + 1)));
    }
    switch (input.byte() % 8) {
    case 0: file.resize(input.u16() % kContactDatabaseSize); break;     // short: refused
    case 1: file.resize(kContactDatabaseSize + input.byte() + 1, 0x5A); break; // longer: its first record
    default: break;
    }
    return file;
}

// Every slot but `changedSlot` holds the bytes it held before.
void checkSameExcept(const ContactDatabase& before, const ContactDatabase& after, int changedSlot)
{
    copyOf(before, scratchExpected()).copySlotFrom(after, changedSlot, changedSlot);
    FUZZ_CHECK(sameBytes(scratchExpected(), after));
}

void checkRows(const ContactBook& book)
{
    FUZZ_CHECK(book.rowSlots() == usedSlots(book.database()));
}

// `held` is one above the largest id the book held since it was read, or the
// lowest number when it held none.
void add(ContactBook& book, fuzz::Input& input, std::int32_t& held)
{
    const std::string name = input.text(220);
    const ContactBook::AddCheck check = book.checkAdd();
    // A counter below zero hands out nothing; a valid one is raised to what the book held.
    const std::int32_t stored = readIdCounter(book.counterPath());
    const std::int32_t counter = stored < 0 ? stored : std::max(stored, held);
    if (check != ContactBook::AddCheck::Possible) {
        FUZZ_CHECK(check == ContactBook::AddCheck::Full ? book.rowCount() == kSlotCount
                                                         : counter < 0 || counter > ContactBook::kLastIdCounter);
        return;
    }
    FUZZ_CHECK(book.rowCount() < kSlotCount && counter >= 0 && counter <= ContactBook::kLastIdCounter);
    const ContactDatabase& before = copyOf(book.database(), scratchBefore());
    const ContactBook::Added added = book.add(name);
    const int slot = book.slotOfRow(added.row);
    FUZZ_CHECK(slot >= 0 && !before.isUsed(slot));
    checkSameExcept(before, book.database(), slot);
    checkRows(book);
    const std::string id = contactIdText(counter);
    FUZZ_CHECK(added.display == id + " " + name);
    FUZZ_CHECK(book.text(ContactField::Display, slot) == storedAs(ContactField::Display, added.display));
    FUZZ_CHECK(book.text(ContactField::Id, slot) == id && book.idOfSlot(slot) == id);
    for (const ContactField field : kCardFields)
        FUZZ_CHECK(book.text(field, slot).empty());
    FUZZ_CHECK(readIdCounter(book.counterPath()) == counter + 1);
    held = counter + 1;
}

void rename(ContactBook& book, fuzz::Input& input)
{
    if (book.rowCount() == 0)
        return;
    const int row = input.u16() % book.rowCount();
    const int slot = book.slotOfRow(row);
    const std::string name = input.text(220);
    const ContactDatabase& before = copyOf(book.database(), scratchBefore());
    const std::string id = firstThree(before, slot);
    const std::string display = book.rename(row, name);
    FUZZ_CHECK(display == id + " " + name);
    checkSameExcept(before, book.database(), slot);
    checkRows(book);
    // The id stays the first three characters, whatever they are.
    const std::string idBytes = before.rawText(ContactField::Display, slot).substr(0, 3);
    FUZZ_CHECK(book.rawText(ContactField::Display, slot).substr(0, idBytes.size()) == idBytes);
    FUZZ_CHECK(book.idOfSlot(slot) == firstThree(book.database(), slot));
    FUZZ_CHECK(book.text(ContactField::Display, slot) == storedAs(ContactField::Display, display));
}

void remove(ContactBook& book, fuzz::Input& input)
{
    if (book.rowCount() == 0)
        return;
    const int row = input.u16() % book.rowCount();
    const ContactDatabase& before = copyOf(book.database(), scratchBefore());
    const std::vector<int> slotsBefore = book.rowSlots();
    book.remove(row);
    checkRows(book);
    FUZZ_CHECK(book.rowCount() + 1 == static_cast<int>(slotsBefore.size()));
    // Each remaining contact, in list order, in the next slot from the top.
    ContactDatabase& compacted = scratchExpected();
    compacted.clear();
    int target = 0;
    for (std::size_t r = 0; r < slotsBefore.size(); ++r)
        if (static_cast<int>(r) != row)
            compacted.copySlotFrom(before, slotsBefore[r], target++);
    FUZZ_CHECK(sameBytes(compacted, book.database()));
}

void edit(ContactBook& book, fuzz::Input& input)
{
    if (book.rowCount() == 0)
        return;
    const int slot = book.slotOfRow(input.u16() % book.rowCount());
    const ContactField field = kCardFields[input.byte() % kCardFields.size()];
    const std::string text = input.text(255);
    const ContactDatabase& before = copyOf(book.database(), scratchBefore());
    book.setText(field, slot, text);
    checkSameExcept(before, book.database(), slot);
    FUZZ_CHECK(book.text(field, slot) == storedAs(field, text));
}

void checkStoredReadsBack(ContactBook& book)
{
    book.store();
    static std::vector<std::uint8_t> file;
    fuzz::readFileInto(book.databasePath(), file);
    FUZZ_CHECK(file.size() == kContactDatabaseSize);
    FUZZ_CHECK(std::equal(file.begin(), file.end(), book.database().bytes().begin()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::filesystem::path folder = [] {
        const std::filesystem::path made = fuzz::emptyFolder("contacts");
        std::filesystem::create_directory(made / "Notatki");
        return made;
    }();
    fuzz::Input input(data, size);
    const std::filesystem::path databasePath = contactDatabasePath(folder);
    const std::filesystem::path counterPath = idCounterPath(folder);

    // The id counter file: four bytes, or a short or missing file.
    const std::uint8_t counterShape = input.byte();
    const auto counterBytes = input.take(4);
    std::filesystem::remove(counterPath);
    if (counterShape % 8 != 0)
        fuzz::writeFile(counterPath, counterBytes.first(std::min<std::size_t>(counterBytes.size(), counterShape % 8 == 1 ? counterShape / 8 % 4 : 4)));
    const std::vector<std::uint8_t>& file = databaseFile(input);
    fuzz::writeFile(databasePath, file);

    ContactBook book(folder);
    try {
        book.load();
    } catch (const IoError&) {
        FUZZ_CHECK(file.size() < kContactDatabaseSize);
        FUZZ_CHECK(!book.isLoaded() && book.rowCount() == 0);
        // A database that could not be read is never written over.
        book.store();
        FUZZ_CHECK(fuzz::readFile(databasePath) == file);
        return 0;
    }
    FUZZ_CHECK(file.size() >= kContactDatabaseSize);
    FUZZ_CHECK(std::equal(book.database().bytes().begin(), book.database().bytes().end(), file.begin()));
    checkRows(book);
    const std::int32_t largest = largestContactId(book.database());
    std::int32_t held = largest >= 0 ? largest + 1 : std::numeric_limits<std::int32_t>::min();

    for (int step = 0; step < 6 && !input.empty(); ++step) {
        switch (input.byte() % 4) {
        case 0:
            try {
                add(book, input, held);
            } catch (const IoError&) {
                FUZZ_CHECK(fuzz::readFile(counterPath).size() < 4);
            }
            break;
        case 1: rename(book, input); break;
        case 2: remove(book, input); break;
        default: edit(book, input); break;
        }
    }
    checkStoredReadsBack(book);
    return 0;
}
