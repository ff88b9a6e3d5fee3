#pragma once

#include "platform/program_window.h"

namespace wirtello {

class Tfirma_f : public ProgramWindow {
    Q_OBJECT
public:
    explicit Tfirma_f(QWidget* parent = nullptr);
};

} // namespace wirtello
