#include "office_folder.h"

#include "store/program_folder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>

#include <jpeglib.h>

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

std::vector<std::uint8_t> phonePhotoJpeg()
{
    const int width = 4000;
    const int height = 3000;
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = width;
    info.image_height = height;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::mt19937 random(42);
    std::uniform_int_distribution<int> grain(-12, 12);
    std::vector<std::uint8_t> row(width * 3);
    while (info.next_scanline < info.image_height) {
        const int y = static_cast<int>(info.next_scanline);
        for (int x = 0; x < width; ++x) {
            const double shade = 0.5 + 0.25 * std::sin(x / 170.0) + 0.2 * std::cos(y / 110.0 + x / 400.0);
            for (int c = 0; c < 3; ++c) {
                const int value = static_cast<int>(255 * shade * (0.7 + 0.15 * c)) + grain(random);
                row[x * 3 + c] = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
            }
        }
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(&info, &pointer, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<std::uint8_t> bytes(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return bytes;
}

} // namespace wirtello::bench
