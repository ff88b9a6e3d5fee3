#pragma once

#include "store/app_data.h"

namespace wirtello {

class Platform;

// PobierzDane: reads (creating when missing) the run history of the program
// folder, sets the short date format "dd/mm/yyyy" and computes this
// run's start values. Also run after the administrator resets the history.
void PobierzDane(AppData& data, Platform& platform);

// ZapiszUruchomienia: records this run in the history of the program folder.
void ZapiszUruchomienia(AppData& data);

// ZapiszUruchomienia at the end of the program, once the contacts are stored:
// a history that cannot be written (read-only, not a file, a link leading out)
// is said and never keeps the program from ending.
void recordRunAtEnd(AppData& data, Platform& platform);

} // namespace wirtello
