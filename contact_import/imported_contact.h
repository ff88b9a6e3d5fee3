#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace wirtello {

// One contact read from an outside file, as UTF-8 texts of any length.
struct ImportedContact {
    std::string name;                 // the list's name after the id
    std::array<std::string, 10> card; // the card fields in card order
    std::string photoPath;
};

enum class ContactFileFormat { Vcard, Csv };

// What a contact file held, before anything is added.
struct ContactFileReading {
    ContactFileFormat format = ContactFileFormat::Vcard;
    std::vector<ImportedContact> contacts;
    // Cards or rows in the file (empty CSV rows not counted).
    std::size_t entriesInFile = 0;
    // Cards or rows that could not be read or held nothing to keep.
    std::size_t skipped = 0;
    // Fields of read cards that the card library refused and that were left out.
    std::size_t unreadableFields = 0;
    // Entries after the last one read, left unread because no room was left.
    std::size_t notRead = 0;
};

// A file that is no contact file at all; the message is the user's.
class ContactFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The user stopped the reading.
class ImportCancelled : public std::exception {
public:
    const char* what() const noexcept override { return "import cancelled"; }
};

// Called now and then with the part done so far (0..1000); false stops the
// reading with ImportCancelled.
using ImportProgress = std::function<bool(int permille)>;

// Passes the part done on to an ImportProgress whenever it changes; throws
// ImportCancelled when told to stop.
class ProgressReport {
public:
    explicit ProgressReport(const ImportProgress& progress) : progress_(progress) {}

    void operator()(int permille)
    {
        if (permille == shown_)
            return;
        shown_ = permille;
        if (progress_ && !progress_(permille))
            throw ImportCancelled();
    }

private:
    const ImportProgress& progress_;
    int shown_ = -1;
};

} // namespace wirtello
