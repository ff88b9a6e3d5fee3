#pragma once

#include "platform/program_window.h"

#include <memory>

namespace Ui {
class Tform3;
}

namespace wirtello {

class Platform;

// About window: the maker's details and picture, links to the maker's web page
// and e-mail, and a clock. Opened without re-initialisation.
class Tform3 : public ProgramWindow {
    Q_OBJECT
public:
    explicit Tform3(Platform& platform, WidgetBuilding building = WidgetBuilding::Now);
    ~Tform3() override;

    // "Odwiedź witrynę www autora", "Wyślij pocztę".
    void OdwiedzWitryne();
    void WyslijPoczte();
    // Clock tick of Timer1.
    void Timer1Timer();

private:
    void build() override;
    void aboutToShow() override { Timer1Timer(); }

    std::unique_ptr<Ui::Tform3> ui_;
    Platform& platform_;
};

} // namespace wirtello
