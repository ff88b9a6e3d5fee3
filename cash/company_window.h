#pragma once

#include "platform/program_window.h"
#include "store/app_data.h"

class QFrame;
class QLabel;
class QLineEdit;
class QToolButton;

namespace wirtello {

class Platform;

// Own company data: the six lines of the shared company record, edited and
// stored in "firma.dat" of the program folder's "Admini".
class Tfirma_f : public ProgramWindow {
    Q_OBJECT
public:
    Tfirma_f(AppData& data, Platform& platform, WidgetBuilding building = WidgetBuilding::Now);

    // Clears the edits, reads the record (creating a missing file) into the
    // shared record and shows its six lines.
    void initialise() override;

    // "Akceptuj" (SpeedButton1): stores the edits and closes; on a failure the
    // window stays open and the shared record keeps what the file holds.
    void acceptData();
    // "Rezygnuj" (SpeedButton2): closes without storing.
    void cancelEdit();

    QFrame* Panel1 = nullptr;
    QLabel* Label1 = nullptr; // "Moje dane"
    QLabel* Label2 = nullptr; // "NIP"
    QLabel* Label3 = nullptr; // "Bank i konto"
    QLineEdit* firma1 = nullptr;
    QLineEdit* firma2 = nullptr;
    QLineEdit* firma3 = nullptr;
    QLineEdit* firma4 = nullptr;
    QLineEdit* firma5 = nullptr;
    QLineEdit* firma6 = nullptr;
    QLabel* Image1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SpeedButton2 = nullptr;

private:
    void build() override;

    QLineEdit* edit(int line) const;

    AppData& data_;
    Platform& platform_;
};

} // namespace wirtello
