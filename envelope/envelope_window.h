#pragma once

#include "platform/program_window.h"

namespace wirtello {

class Tkoperta_f : public ProgramWindow {
    Q_OBJECT
public:
    explicit Tkoperta_f(QWidget* parent = nullptr);
};

} // namespace wirtello
