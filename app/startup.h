#pragma once

#include "admin/run_records.h"

namespace wirtello {

// Start-up steps on the data between the card's clearing and the list's
// filling: program folder, companion configuration, own company record,
// contact files and the database load. Stops at the first failing step.
void prepareProgramFolder(AppData& data);

} // namespace wirtello
