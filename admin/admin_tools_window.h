#pragma once

#include "platform/program_window.h"
#include "store/app_data.h"

#include <QString>

#include <filesystem>
#include <string>

class QFrame;
class QGroupBox;
class QLabel;
class QRadioButton;
class QTextEdit;
class QToolButton;

namespace wirtello {

class Platform;

// Administrator tools ("Narzędzia administratora"): resets of the run history
// and of the archive register, and the check for a newer version.
class Tnarzedzia_f : public ProgramWindow {
    Q_OBJECT
public:
    Tnarzedzia_f(AppData& data, Platform& platform, WidgetBuilding building = WidgetBuilding::Now);

    void initialise() override;

    // "Wykonaj operację".
    void WykonajOperacje();
    // "Sprawdź aktualizację".
    void SprawdzAktualizacje();

    // Where the update information comes from, how long its download may take
    // and the version it is compared with; set from maker_info.h.
    QString updateUrl;
    int downloadTimeoutMs = 15000;
    std::string installedVersion;

    QFrame* Panel1 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QRadioButton* op3 = nullptr;
    QRadioButton* op4 = nullptr;
    QLabel* Image1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QToolButton* SpeedButton3 = nullptr;
    QTextEdit* Memo1 = nullptr;

private:
    void build() override;

    AppData& data_;
    Platform& platform_;
    std::filesystem::path folder_;
};

} // namespace wirtello
