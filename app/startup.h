#pragma once

#include "store/app_data.h"

namespace wirtello {

class Platform;

// PobierzDane: reads (creating when missing) the run history of the program
// folder that is current now, sets the short date format "dd/mm/yyyy" and
// computes this run's start values.
void PobierzDane(AppData& data, Platform& platform);

// ZapiszUruchomienia: records this run in the history of the current folder.
void ZapiszUruchomienia(AppData& data);

// Start-up steps on the data between the card's clearing and the list's
// filling: program folder, companion configuration, own company record,
// contact files and the database load. Stops at the first failing step.
void prepareProgramFolder(AppData& data);

} // namespace wirtello
