#pragma once

#include "platform/program_window.h"

namespace wirtello {

class Tkp_f : public ProgramWindow {
    Q_OBJECT
public:
    explicit Tkp_f(QWidget* parent = nullptr);
};

} // namespace wirtello
