#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace wirtello {

// The one failure type of every file step. The window layer catches it at the
// event handler boundary and shows the standard error box; nothing else does.
class IoError : public std::runtime_error {
public:
    IoError(std::string operation, std::filesystem::path path)
        : std::runtime_error(operation + ": " + path.string()),
          operation_(std::move(operation)), path_(std::move(path)) {}

    // Polish description of the step that failed, e.g. "Nie można odczytać pliku".
    const std::string& operation() const { return operation_; }
    const std::filesystem::path& path() const { return path_; }

private:
    std::string operation_;
    std::filesystem::path path_;
};

// The steps that fail in more than one place, each named once.
inline constexpr const char* kReadFailed = "Nie można odczytać pliku";
inline constexpr const char* kWriteFailed = "Nie można zapisać pliku";
inline constexpr const char* kFolderFailed = "Nie można utworzyć folderu";
inline constexpr const char* kRestoreFailed = "Nie można przywrócić pliku";
inline constexpr const char* kPdfFailed = "Nie można zapisać pliku PDF";
inline constexpr const char* kPrintStartFailed = "Nie można rozpocząć wydruku na drukarce";
inline constexpr const char* kLockFileFailed = "Nie można otworzyć pliku blokady";
inline constexpr const char* kPictureUnreadable = "Nie można odczytać obrazu JPEG";
inline constexpr const char* kPictureOutOfMemory = "Za mało pamięci, aby odczytać obraz JPEG";

} // namespace wirtello
