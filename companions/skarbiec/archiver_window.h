#pragma once

#include "platform/program_window.h"
#include "store/companion_config.h"

#include <QWidget>

#include <filesystem>
#include <memory>
#include <optional>

namespace Ui {
class ArchiverWindow;
}

namespace wirtello {

class Platform;

// The archiver's window: one button packs the program's data folders into a
// dated archive, the other restores a chosen archive; a bar shows progress.
// Escape, Ctrl+W and Alt+F4 close it; it holds nothing typed to store.
class ArchiverWindow : public ProgramWindow {
    Q_OBJECT
public:
    // `config` is empty when "skarbiec_config.dat" could not be read: then
    // only restoring is possible.
    ArchiverWindow(Platform& platform, std::filesystem::path programFolder, std::optional<CompanionConfig> config,
                   QWidget* parent = nullptr);
    ~ArchiverWindow() override;

    void createArchive();  // SpeedButton1
    void restoreArchive(); // SpeedButton2

    // At start: finishes a restore that was cut off (or undoes it) and says what was done.
    void finishInterruptedRestores();

private:
    void setBusy(bool busy, const QString& status);
    void showProgress(double share);
    std::string stamp();

    std::unique_ptr<Ui::ArchiverWindow> ui_;
    Platform& platform_;
    const std::filesystem::path programFolder_;
    const std::optional<CompanionConfig> config_;
};

} // namespace wirtello
