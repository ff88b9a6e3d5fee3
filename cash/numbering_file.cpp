#include "numbering_file.h"

#include "store/confined_folder.h"
#include "store/io_error.h"
#include "store/program_folder.h"
#include "store/safe_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <system_error>
#include <thread>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace wirtello {
namespace {

const char* const kLockFailed = "Nie można zablokować pliku numeratora";
const char* const kDamaged = "Uszkodzony plik numeratora";

std::string shown(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string busyText(const std::filesystem::path& path)
{
    return "Plik numeratora jest używany przez inny program:\r" + shown(path)
        + "\r\rDokument nie został wydrukowany i nie pobrano dla niego numeru. Spróbuj ponownie za chwilę.";
}

const char* const kHowToGoOn =
    "\r\rAby drukować dalej, wpisz nowy numer dokumentu i użyj przycisku „Zapisz parametry”.";

// The stored number must be one a document can bear and that has a next one.
void checkStoredNumber(std::int32_t number, const std::filesystem::path& path)
{
    if (number < 0)
        throw NumberingRefused("Plik numeratora\r" + shown(path) + "\rzawiera numer ujemny (" + std::to_string(number)
                               + "), którego dokument nie może nosić." + kHowToGoOn);
    if (number == std::numeric_limits<std::int32_t>::max())
        throw NumberingRefused("Numeracja dokumentów doszła do końca: plik numeratora\r" + shown(path)
                               + "\rzawiera numer " + std::to_string(number) + ", po którym nie ma już następnego."
                               + kHowToGoOn);
}

// The one rule for a damaged numbering file: it holds less than a record.
// Nothing is taken from it and it is left as it is.
void checkWhole(std::size_t got, const std::filesystem::path& path)
{
    if (got < NumberingRecord::kSize)
        throw IoError(kDamaged, path);
}

// The number and extension a whole record gives, or why it gives none.
DocumentNumber numberIn(const NumberingRecord& record, const std::filesystem::path& path)
{
    checkStoredNumber(record.number(kNumberField), path);
    return {record.number(kNumberField), record.text(kExtensionField)};
}

// Tries to take a lock again, with growing pauses, until the time is up.
class LockWait {
public:
    LockWait(std::chrono::milliseconds limit, const std::function<void()>& waiting)
        : deadline_(std::chrono::steady_clock::now() + limit), waiting_(waiting)
    {
    }

    // After a refused try: pauses and returns true, or false once the time is up.
    bool pause()
    {
        const auto left = deadline_ - std::chrono::steady_clock::now();
        if (left <= left.zero())
            return false;
        if (!told_) {
            told_ = true;
            if (waiting_)
                waiting_();
        }
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(pause_, left));
        pause_ = std::min(pause_ * 2, kLongestPause);
        return true;
    }

private:
    static constexpr std::chrono::milliseconds kLongestPause{50};
    std::chrono::steady_clock::time_point deadline_;
    const std::function<void()>& waiting_;
    std::chrono::milliseconds pause_{1};
    bool told_ = false;
};

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

// An exclusive lock on a numbering file, held for the lifetime of the object.
// Another computer may replace the file (atomically, by rename) while we wait
// for its lock; the lock we then get guards a file nobody reads any more, so
// we let it go and lock the file now under that name.
#ifdef _WIN32

bool sameFile(HANDLE held, const std::filesystem::path& path)
{
    HANDLE named = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (named == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION a{}, b{};
    const bool same = GetFileInformationByHandle(held, &a) && GetFileInformationByHandle(named, &b)
        && a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh
        && a.nFileIndexLow == b.nFileIndexLow;
    CloseHandle(named);
    return same;
}

class LockedFile {
public:
    LockedFile(const std::filesystem::path& path, LockWait& wait) : path_(path)
    {
        for (;;) {
            // Others may read, and the file may be replaced while we hold it.
            handle_ = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
            if (handle_ == INVALID_HANDLE_VALUE)
                throw IoError(kReadFailed, path);
            bool locked = false;
            bool busy = false;
            do {
                OVERLAPPED whole{};
                locked = LockFileEx(handle_, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD,
                                    &whole);
                busy = !locked && GetLastError() == ERROR_LOCK_VIOLATION;
            } while (busy && wait.pause());
            if (!locked) {
                CloseHandle(handle_);
                if (busy)
                    throw NumberingRefused(busyText(path));
                throw IoError(kLockFailed, path);
            }
            if (sameFile(handle_, path))
                return;
            CloseHandle(handle_);
        }
    }
    ~LockedFile()
    {
        OVERLAPPED whole{};
        UnlockFileEx(handle_, 0, MAXDWORD, MAXDWORD, &whole);
        CloseHandle(handle_);
    }
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;

    // Reads record 0 through the locked handle; returns the bytes there were.
    std::size_t read(std::span<std::uint8_t> record)
    {
        DWORD got = 0;
        if (!ReadFile(handle_, record.data(), static_cast<DWORD>(record.size()), &got, nullptr))
            throw IoError(kReadFailed, path_);
        return got;
    }

private:
    std::filesystem::path path_;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

#else

// Locks that belong to the open file rather than to the process where the
// system has them, so that no other descriptor of ours can drop them by closing.
#ifdef F_OFD_SETLK
constexpr int kTryLock = F_OFD_SETLK;
#else
constexpr int kTryLock = F_SETLK;
#endif

class LockedFile {
public:
    LockedFile(const std::filesystem::path& path, LockWait& wait) : path_(path)
    {
        for (;;) {
            fd_ = RegularFile(path, FileAccess::ReadWrite).release();
            struct flock lock {};
            lock.l_type = F_WRLCK;
            lock.l_whence = SEEK_SET;
            lock.l_start = 0;
            lock.l_len = 0; // the whole file
            int rc = 0;
            bool busy = false;
            do {
                rc = ::fcntl(fd_, kTryLock, &lock);
                busy = rc == -1 && (errno == EACCES || errno == EAGAIN);
            } while ((rc == -1 && errno == EINTR) || (busy && wait.pause()));
            if (rc == -1) {
                ::close(fd_);
                if (busy)
                    throw NumberingRefused(busyText(path));
                throw IoError(kLockFailed, path);
            }
            struct stat held {};
            struct stat named {};
            if (::fstat(fd_, &held) == 0 && ::stat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev
                && held.st_ino == named.st_ino)
                return;
            ::close(fd_);
        }
    }
    ~LockedFile() { ::close(fd_); }
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;

    // Reads record 0 through the locked descriptor; returns the bytes there were.
    std::size_t read(std::span<std::uint8_t> record)
    {
        std::size_t got = 0;
        while (got < record.size()) {
            const ssize_t n = ::pread(fd_, record.data() + got, record.size() - got, static_cast<off_t>(got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                throw IoError(kReadFailed, path_);
            if (n == 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        return got;
    }

private:
    std::filesystem::path path_;
    int fd_ = -1;
};

#endif

} // namespace

std::filesystem::path numberingPath(const std::filesystem::path& dataFolder, DocumentKind kind)
{
    return fileIn(dataFolder, kDocumentsFolder, kind == DocumentKind::Kw ? "nrkw.dat" : "nrkp.dat");
}

namespace {

// The old way, for file systems without hard links: created exclusively in
// place, so for a moment the file is there but still empty.
void createInPlace(const std::filesystem::path& path, const NumberingRecord& record)
{
    std::FILE* file = std::fopen(path.string().c_str(), "wbx");
    if (!file) {
        if (fileExists(path))
            return; // another computer created it first
        throw IoError(kWriteFailed, path);
    }
    const auto bytes = record.bytes();
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && flushToDisk(file);
    written = std::fclose(file) == 0 && written;
    if (!written) {
        // A short file would read as damaged: leave nothing rather than that.
        std::remove(path.string().c_str());
        throw IoError(kWriteFailed, path);
    }
}

} // namespace

void createNumberingFileIfMissing(const std::filesystem::path& reported)
{
#ifdef _WIN32
    const std::filesystem::path& path = reported;
#else
    // Every step acts in the folder the walk from the data folder reached,
    // even if its name is swapped for a link meanwhile.
    FileDescriptor folder;
    try {
        folder = openFolderBeneath(reported.parent_path(), kWriteFailed);
    } catch (const IoError&) {
        throw IoError(kWriteFailed, reported);
    }
    const std::filesystem::path path = heldFolderPath(folder) / reported.filename();
#endif
    if (fileExists(path))
        return;
    NumberingRecord record;
    record.setNumber(kNumberField, 1);

    // The whole record is written under a temporary name and then linked under
    // the real one, which fails when that name exists: neither a crash nor
    // another computer ever sees the file empty, and one created meanwhile is
    // kept. A leftover temporary file is cleared at start like any other.
    std::filesystem::path staged = path;
    staged += "." + std::to_string(std::random_device{}()) + ".new.tmp~";
    try {
        storeRecord(staged, record);
    } catch (const IoError& error) {
        throw IoError(error.operation(), reported);
    }
    std::error_code linkError;
    std::filesystem::create_hard_link(staged, path, linkError);
    std::error_code ignored;
    std::filesystem::remove(staged, ignored);
    if (!linkError || linkError == std::errc::file_exists || fileExists(path))
        return;
    try {
        createInPlace(path, record);
    } catch (const IoError& error) {
        throw IoError(error.operation(), reported);
    }
}

DocumentNumber takeDocumentNumber(const std::filesystem::path& path, std::chrono::milliseconds lockWait,
                                  const std::function<void()>& waiting)
{
    LockWait wait(lockWait, waiting);
    LockedFile file(path, wait);
    NumberingRecord record;
    checkWhole(file.read(record.bytes()), path);
    const DocumentNumber taken = numberIn(record, path);

    // The extension goes back as it was read, its length byte within the field.
    record.setRawText(kExtensionField, record.rawText(kExtensionField));
    record.setNumber(kNumberField, taken.number + 1);
    storeRecord(path, record); // atomic replacement while the lock is still held
    return taken;
}

DocumentNumber readNextDocumentNumber(const std::filesystem::path& path)
{
    NumberingRecord record;
    RegularFile file(path, FileAccess::Read);
    checkWhole(file.read(record.bytes()), path);
    return numberIn(record, path);
}

} // namespace wirtello
