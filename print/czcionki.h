#pragma once

#include "platform/program_window.h"

namespace wirtello {

class Tfont_f : public ProgramWindow {
    Q_OBJECT
public:
    explicit Tfont_f(QWidget* parent = nullptr);
};

} // namespace wirtello
