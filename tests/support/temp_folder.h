#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

namespace wirtello::test {

// A fresh program folder under the system's temporary folder, made the current
// directory for the test's lifetime and removed afterwards.
class TempFolder {
public:
    // Subfolders to create, e.g. {"Admini", "NOTATKI"}.
    explicit TempFolder(std::initializer_list<const char*> subfolders = {});
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& relative) const { return path_ / relative; }

private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
};

std::vector<std::uint8_t> readBytes(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
// Windows-1250 bytes of a counted text field starting at `offset`.
std::string countedAt(const std::vector<std::uint8_t>& bytes, std::size_t offset);

} // namespace wirtello::test
