#pragma once

// The real platform with every modal interaction answered at once, so a
// benchmark can drive the windows without anything waiting for a user.

#include "platform/qt_platform.h"

namespace wirtello::bench {

class QuietPlatform : public QtPlatform {
public:
    int messages = 0;
    int errors = 0;

    void inform(const QString&) override { ++messages; }
    bool askYesNo(const QString&, const QString&) override { return false; }
    std::optional<QString> inputText(const QString&, const QString&) override { return std::nullopt; }
    void showError(const IoError&) override { ++errors; }
    void showFailure(const QString&) override { ++errors; }
    std::optional<std::filesystem::path> openFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::filesystem::path> saveFile(const FileDialogRequest&) override { return std::nullopt; }
    std::unique_ptr<PrintSurface> choosePrinter() override { return nullptr; }
    std::optional<FontChoice> chooseFont(const FontChoice&) override { return std::nullopt; }
    bool exec(const QString&, const std::filesystem::path&) override { return false; }
    bool openUrl(const QString&) override { return false; }
    void endProcess() override {}
};

} // namespace wirtello::bench
