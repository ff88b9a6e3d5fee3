// The contact file reading module: readContactFile() behind the
// ContactFileReader interface.
#include "contact_file.h"
#include "contact_file_reader.h"

#include <QObject>

namespace wirtello {

class ContactFileModule : public QObject, public ContactFileReader {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "pl.wirtello.ContactFileReader/1")
    Q_INTERFACES(wirtello::ContactFileReader)
public:
    ContactFileReading readContactFile(const std::filesystem::path& path, std::size_t room,
                                       const ImportProgress& progress) override
    {
        return wirtello::readContactFile(path, room, progress);
    }
};

} // namespace wirtello

#include "contact_file_module.moc"
