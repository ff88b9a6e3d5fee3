#pragma once

#include "platform/program_window.h"

namespace wirtello {

class Tlogowania_f : public ProgramWindow {
    Q_OBJECT
public:
    explicit Tlogowania_f(QWidget* parent = nullptr);
};

} // namespace wirtello
