#include "temp_folder.h"

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace wirtello::test {

TempFolder::TempFolder(std::initializer_list<const char*> subfolders)
    : previous_(std::filesystem::current_path())
{
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() / ("wirtello-test-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(path_);
    for (const char* name : subfolders)
        std::filesystem::create_directories(path_ / name);
    std::filesystem::current_path(path_);
}

TempFolder::~TempFolder()
{
    std::error_code ec;
    std::filesystem::current_path(previous_, ec);
    std::filesystem::remove_all(path_, ec);
}

std::vector<std::uint8_t> readBytes(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw std::runtime_error("cannot read " + path.string());
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file)
        throw std::runtime_error("cannot write " + path.string());
}

std::string countedAt(const std::vector<std::uint8_t>& bytes, std::size_t offset)
{
    return std::string(reinterpret_cast<const char*>(bytes.data() + offset + 1), bytes.at(offset));
}

} // namespace wirtello::test
