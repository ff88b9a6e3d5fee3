#include "office_folder.h"

#include "store/program_folder.h"

#include <array>
#include <cstdio>

namespace wirtello::bench {
namespace {

namespace fs = std::filesystem;

const std::array<const char*, 12> kSurnames = {"Kowalski", "Nowak",    "Wiśniewski", "Wójcik",     "Kowalczyk", "Kamiński",
                                               "Lewandowski", "Zieliński", "Szymański",  "Woźniak", "Dąbrowski", "Kozłowski"};
const std::array<const char*, 8> kFirstNames = {"Anna", "Piotr", "Katarzyna", "Tomasz", "Małgorzata", "Paweł", "Ewa", "Łukasz"};
const std::array<const char*, 6> kTowns = {"Kraków", "Łódź", "Wrocław", "Poznań", "Gdańsk", "Białystok"};

} // namespace

ContactDatabase officeDatabase(int contacts)
{
    ContactDatabase database;
    for (int slot = 0; slot < contacts; ++slot) {
        char id[16];
        std::snprintf(id, sizeof id, "%03d", slot);
        const std::string surname = kSurnames[slot % kSurnames.size()];
        const std::string first = kFirstNames[slot % kFirstNames.size()];
        const std::string town = kTowns[slot % kTowns.size()];
        database.setText(ContactField::Display, slot, std::string(id) + " " + surname + " " + first + " - hurtownia nr " + id);
        database.setText(ContactField::Id, slot, id);
        database.setText(ContactField::FirstLine, slot, first + " " + surname);
        database.setText(ContactField::SecondLine, slot, "Hurtownia Żółty Młyn sp. z o.o.");
        database.setText(ContactField::Street, slot, "ul. Długa " + std::to_string(slot + 1));
        database.setText(ContactField::Town, slot, "30-0" + std::string(id).substr(1) + " " + town);
        database.setText(ContactField::Phone, slot, "12 345 6" + std::string(id));
        database.setText(ContactField::Fax, slot, "12 345 7" + std::string(id));
        database.setText(ContactField::Mobile, slot, "601 234 " + std::string(id));
        database.setText(ContactField::Email, slot, "biuro" + std::string(id) + "@hurtownia.pl");
        database.setText(ContactField::Web, slot, "www.hurtownia" + std::string(id) + ".pl");
        database.setText(ContactField::Messenger, slot, "hurtownia" + std::string(id));
    }
    return database;
}

fs::path defaultPicturePath()
{
    return WIRTELLO_DEFAULT_PICTURE;
}

fs::path makeOfficeFolder(const std::string& name, int contacts)
{
    const fs::path folder = fs::temp_directory_path() / "wirtello-bench" / name;
    fs::remove_all(folder);
    for (const std::string_view sub : {kAdminFolder, kNotesFolder, kFontFolder, kDocumentsFolder, kEnvelopesFolder, kLogoFolder})
        fs::create_directories(folder / std::string(sub));
    fs::copy_file(defaultPicturePath(), folder / std::string(kLogoFolder) / "Chmury.jpg");
    officeDatabase(contacts).store(contactDatabasePath(folder));
    return folder;
}

} // namespace wirtello::bench
