#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <system_error>

#include <unistd.h>

namespace wirtello::fuzz {
namespace {

namespace fs = std::filesystem;

fs::path makeScratchFolder()
{
    std::error_code ec;
    fs::path base = "/dev/shm";
    if (!fs::is_directory(base, ec) || ::access(base.c_str(), W_OK) != 0)
        base = fs::temp_directory_path();
    const fs::path folder = base / ("wirtello-fuzz-" + std::to_string(::getpid()));
    fs::remove_all(folder, ec);
    fs::create_directories(folder);
    return folder;
}

void removeScratchFolder()
{
    std::error_code ec;
    fs::remove_all(scratchFolder(), ec);
}

} // namespace

const fs::path& scratchFolder()
{
    static const fs::path folder = [] {
        fs::path made = makeScratchFolder();
        return made;
    }();
    static const bool cleanedAtExit = std::atexit(removeScratchFolder) == 0;
    (void)cleanedAtExit;
    return folder;
}

fs::path emptyFolder(std::string_view name)
{
    const fs::path folder = scratchFolder() / name;
    std::error_code ec;
    fs::remove_all(folder, ec);
    fs::create_directories(folder);
    return folder;
}

void writeFile(const fs::path& path, std::span<const std::uint8_t> bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file)
        throw std::runtime_error("cannot write " + path.string());
}

std::vector<std::uint8_t> readFile(const fs::path& path)
{
    std::vector<std::uint8_t> bytes;
    readFileInto(path, bytes);
    return bytes;
}

void readFileInto(const fs::path& path, std::vector<std::uint8_t>& bytes)
{
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file)
        throw std::runtime_error("cannot read " + path.string());
    bytes.resize(static_cast<std::size_t>(file.tellg()));
    file.seekg(0);
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file)
        throw std::runtime_error("cannot read " + path.string());
}

void fail(const char* condition, const char* file, int line)
{
    std::fprintf(stderr, "\nProperty broken: %s\n  at %s:%d\n", condition, file, line);
    std::fflush(stderr);
    std::abort();
}

std::uint8_t Input::byte()
{
    if (bytes_.empty())
        return 0;
    const std::uint8_t value = bytes_.front();
    bytes_ = bytes_.subspan(1);
    return value;
}

std::uint16_t Input::u16()
{
    const std::uint16_t low = byte();
    return static_cast<std::uint16_t>(low | (byte() << 8));
}

std::string Input::text(std::size_t maxSize)
{
    const std::size_t size = std::min<std::size_t>(byte(), maxSize);
    const auto piece = take(size);
    return std::string(reinterpret_cast<const char*>(piece.data()), piece.size());
}

std::span<const std::uint8_t> Input::take(std::size_t size)
{
    const auto piece = bytes_.first(std::min(size, bytes_.size()));
    bytes_ = bytes_.subspan(piece.size());
    return piece;
}

} // namespace wirtello::fuzz
