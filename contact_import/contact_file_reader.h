#pragma once

#include "imported_contact.h"

#include <QString>
#include <QtPlugin>

#include <filesystem>

namespace wirtello {

// readContactFile() (contact_file.h) from its own module, so that the program
// starts without the vCard library (see platform/program_module.h).
class ContactFileReader {
public:
    virtual ~ContactFileReader() = default;
    virtual ContactFileReading readContactFile(const std::filesystem::path& path, std::size_t room,
                                               const ImportProgress& progress) = 0;
};

inline const QString kContactsModule = QStringLiteral("wirtello_contacts");

} // namespace wirtello

Q_DECLARE_INTERFACE(wirtello::ContactFileReader, "pl.wirtello.ContactFileReader/1")
