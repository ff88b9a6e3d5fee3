#pragma once

#include "store/app_data.h"
#include "store/io_error.h"

#include <functional>

namespace wirtello {

// Start-up steps on the data between the card's clearing and the list's
// filling: companion configuration, own company record, contact files and the
// database load. A failing step that does not concern the contacts is
// reported and the next step runs, so a good database is always listed; a
// failure of the contacts' own steps is raised.
void prepareProgramFolder(AppData& data, const std::function<void(const IoError&)>& report);

} // namespace wirtello
