#pragma once

#include "platform/program_window.h"

namespace wirtello {

class Tform3 : public ProgramWindow {
    Q_OBJECT
public:
    explicit Tform3(QWidget* parent = nullptr);
};

} // namespace wirtello
