#include "record_file.h"

#include "io_error.h"
#include "paths.h"

#include <cstdio>
#include <memory>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace wirtello {
namespace {

const char* const kReadFailed = "Nie można odczytać pliku";
const char* const kWriteFailed = "Nie można zapisać pliku";

struct FileCloser {
    void operator()(std::FILE* f) const { if (f) std::fclose(f); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

bool flushToDisk(std::FILE* file)
{
    if (std::fflush(file) != 0)
        return false;
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return ::fsync(fileno(file)) == 0;
#endif
}

} // namespace

std::filesystem::path temporaryPathFor(const std::filesystem::path& path)
{
    std::filesystem::path temp = path;
    temp += ".tmp~";
    return temp;
}

void readRecordInto(const std::filesystem::path& path, std::span<std::uint8_t> record)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        throw IoError(kReadFailed, path);
    FileHandle file(std::fopen(path.string().c_str(), "rb"));
    if (!file)
        throw IoError(kReadFailed, path);
    if (std::fread(record.data(), 1, record.size(), file.get()) != record.size())
        throw IoError(kReadFailed, path);
}

std::vector<std::uint8_t> readRecord(const std::filesystem::path& path, std::size_t recordSize)
{
    std::vector<std::uint8_t> record(recordSize);
    readRecordInto(path, record);
    return record;
}

void writeRecord(const std::filesystem::path& path, std::span<const std::uint8_t> record)
{
    const std::filesystem::path temp = temporaryPathFor(path);
    {
        FileHandle file(std::fopen(temp.string().c_str(), "wb"));
        if (!file)
            throw IoError(kWriteFailed, path);
        const bool written = std::fwrite(record.data(), 1, record.size(), file.get()) == record.size()
            && flushToDisk(file.get());
        const bool closed = std::fclose(file.release()) == 0;
        if (!written || !closed) {
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
            throw IoError(kWriteFailed, path);
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        throw IoError(kWriteFailed, path);
    }
}

void createZeroRecordIfMissing(const std::filesystem::path& path, std::size_t recordSize)
{
    if (fileExists(path))
        return;
    const std::vector<std::uint8_t> zeros(recordSize, 0);
    writeRecord(path, zeros);
}

} // namespace wirtello
