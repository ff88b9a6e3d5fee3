#pragma once

#include "platform/program_window.h"

namespace wirtello {

class Tnarzedzia_f : public ProgramWindow {
    Q_OBJECT
public:
    explicit Tnarzedzia_f(QWidget* parent = nullptr);
};

} // namespace wirtello
