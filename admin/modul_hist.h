#pragma once

#include "platform/program_window.h"

namespace wirtello {

class Thisto_f : public ProgramWindow {
    Q_OBJECT
public:
    explicit Thisto_f(QWidget* parent = nullptr);
};

} // namespace wirtello
