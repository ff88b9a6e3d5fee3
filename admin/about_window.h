#pragma once

#include "platform/program_window.h"

class QFrame;
class QLabel;
class QTimer;
class QToolButton;

namespace wirtello {

class Platform;

// About window: the maker's details and picture, links to the maker's web page
// and e-mail, and a clock. Opened without re-initialisation.
class Tform3 : public ProgramWindow {
    Q_OBJECT
public:
    explicit Tform3(Platform& platform, WidgetBuilding building = WidgetBuilding::Now);

    // "Odwiedź witrynę www autora", "Wyślij pocztę".
    void OdwiedzWitryne();
    void WyslijPoczte();
    // Clock tick of Timer1.
    void Timer1Timer();

    QFrame* Panel2 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QFrame* Bevel1 = nullptr;
    QLabel* Image1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QToolButton* SpeedButton3 = nullptr;
    QTimer* Timer1 = nullptr;

private:
    void build() override;
    void aboutToShow() override { Timer1Timer(); }

    Platform& platform_;
};

} // namespace wirtello
