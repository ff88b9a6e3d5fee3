#pragma once

#include "platform/program_window.h"
#include "store/app_data.h"

#include <QString>

#include <filesystem>
#include <string>

#include <memory>

namespace Ui {
class Tnarzedzia_f;
}

namespace wirtello {

class Platform;

// Administrator tools ("Narzędzia administratora"): resets of the run history
// and of the archive register, and the check for a newer version.
class Tnarzedzia_f : public ProgramWindow {
    Q_OBJECT
public:
    Tnarzedzia_f(AppData& data, Platform& platform, WidgetBuilding building = WidgetBuilding::Now);
    ~Tnarzedzia_f() override;

    void initialise() override;

    // "Wykonaj operację". Both raise IoError; the button's guard shows it.
    void WykonajOperacje();
    // "Sprawdź aktualizację".
    void SprawdzAktualizacje();

    // Where the update information comes from, how long its download may take
    // and the version it is compared with; set from maker_info.h.
    QString updateUrl;
    int downloadTimeoutMs = 15000;
    std::string installedVersion;

private:
    void build() override;

    std::unique_ptr<Ui::Tnarzedzia_f> ui_;
    AppData& data_;
    Platform& platform_;
    std::filesystem::path folder_;
};

} // namespace wirtello
