#pragma once

#include "store/companion_config.h"

#include <QWidget>

#include <filesystem>
#include <optional>

class QFrame;
class QLabel;
class QProgressBar;
class QToolButton;

namespace wirtello {

class Platform;

// The archiver's window: one button packs the program's data folders into a
// dated archive, the other restores a chosen archive; a bar shows progress.
class ArchiverWindow : public QWidget {
    Q_OBJECT
public:
    // `config` is empty when "skarbiec_config.dat" could not be read: then
    // only restoring is possible.
    ArchiverWindow(Platform& platform, std::filesystem::path programFolder, std::optional<CompanionConfig> config,
                   QWidget* parent = nullptr);

    void createArchive();  // SpeedButton1
    void restoreArchive(); // SpeedButton2

    QFrame* Panel1;
    QLabel* Label1;
    QLabel* Label2;
    QToolButton* SpeedButton1;
    QToolButton* SpeedButton2;
    QProgressBar* ProgressBar1;
    QLabel* Label3;

private:
    void setBusy(bool busy, const QString& status);
    void showProgress(double share);
    std::string stamp();

    Platform& platform_;
    const std::filesystem::path programFolder_;
    const std::optional<CompanionConfig> config_;
};

} // namespace wirtello
