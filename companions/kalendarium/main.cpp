// kalendarium: the tasks of one contact, started by the main program in the
// program folder as  kalendarium <id>.adr "<name> " "<address>".

#include "task_window.h"

int main(int argc, char* argv[])
{
    return wirtello::runCompanion(argc, argv, "kalendarium", QStringLiteral(":/kalendarium/kalendarz.png"),
                                  wirtello::openTaskWindow);
}
