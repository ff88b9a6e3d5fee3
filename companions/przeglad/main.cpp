// przeglad: the open tasks of all contacts, started by the main program in
// the program folder as  przeglad *.adr  (the pattern is its own to expand).

#include "overview_window.h"

int main(int argc, char* argv[])
{
    return wirtello::runCompanion(argc, argv, "przeglad", QStringLiteral(":/przeglad/czytnik.png"),
                                  wirtello::openOverviewWindow);
}
