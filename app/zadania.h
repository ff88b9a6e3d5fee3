#pragma once

#include "platform/program_window.h"
#include "store/app_data.h"

#include <QListWidget>
#include <QLineEdit>

#include <array>

namespace wirtello {

class Platform;

// The windows the main window opens, created after it at start-up.
struct ProgramWindows {
    ProgramWindow* form3 = nullptr;
    ProgramWindow* firma = nullptr;
    ProgramWindow* logowania = nullptr;
    ProgramWindow* histo = nullptr;
    ProgramWindow* font = nullptr;
    ProgramWindow* kp = nullptr;
    ProgramWindow* koperta = nullptr;
    ProgramWindow* narzedzia = nullptr;
};

// The main window: contact list, card, and the buttons that reach everything else.
class Tzadania_f : public ProgramWindow {
    Q_OBJECT
public:
    Tzadania_f(AppData& data, Platform& platform, QWidget* parent = nullptr);

    void setWindows(const ProgramWindows& windows) { windows_ = windows; }

    // The creation handler: prepares all shared data and fills the list.
    void FormCreate();

    void CzyscPola();
    void select();

    QListWidget* listazadan = nullptr;
    QLineEdit* imie = nullptr;
    QLineEdit* nazwisko = nullptr;
    QLineEdit* ulica = nullptr;
    QLineEdit* miejscowosc = nullptr;
    QLineEdit* telefon = nullptr;
    QLineEdit* fax = nullptr;
    QLineEdit* komorka = nullptr;
    QLineEdit* mail = nullptr;
    QLineEdit* www = nullptr;
    QLineEdit* komunikator = nullptr;
    QLineEdit* coszukac = nullptr;

    bool changesPending() const { return changesPending_; }
    bool photoChosen() const { return photoChosen_; }

private:
    std::array<QLineEdit*, 10> cardEdits() const;
    void fillList();

    AppData& data_;
    Platform& platform_;
    ProgramWindows windows_;
    bool changesPending_ = false;
    bool photoChosen_ = false;
};

} // namespace wirtello
