#pragma once

#include "platform/program_window.h"
#include "store/app_data.h"

#include <memory>

class QLineEdit;

namespace Ui {
class Tfirma_f;
}

namespace wirtello {

class Platform;

// Own company data: the six lines of the shared company record, edited and
// stored in "firma.dat" of the program folder's "Admini".
class Tfirma_f : public ProgramWindow {
    Q_OBJECT
public:
    Tfirma_f(AppData& data, Platform& platform, WidgetBuilding building = WidgetBuilding::Now);
    ~Tfirma_f() override;

    // Clears the edits, reads the record (creating a missing file) into the
    // shared record and shows its six lines.
    void initialise() override;

    // "Akceptuj" (SpeedButton1): stores the edits and closes; on a failure
    // (IoError, shown by the button's guard) the window stays open and the
    // shared record keeps what the file holds.
    void acceptData();
    // "Rezygnuj" (SpeedButton2): closes without storing.
    void cancelEdit();

private:
    void build() override;

    QLineEdit* edit(int line) const;

    std::unique_ptr<Ui::Tfirma_f> ui_;
    AppData& data_;
    Platform& platform_;
};

} // namespace wirtello
