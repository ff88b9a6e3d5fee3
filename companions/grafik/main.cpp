// grafik: the office's appointment calendar, started by the main program's
// "Terminarz" button in the program folder: grafik "<title>".

#include "schedule_window.h"

int main(int argc, char* argv[])
{
    return wirtello::runCompanion(argc, argv, "grafik", QStringLiteral(":/grafik/terminarz.png"),
                                  wirtello::openScheduleWindow);
}
