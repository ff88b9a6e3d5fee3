// brulion: the notes of one contact, started by the main program's "Notatki"
// button in the program folder: brulion "<entry text>" <id>.

#include "notes_start.h"

int main(int argc, char* argv[])
{
    return wirtello::runCompanion(argc, argv, "brulion", QStringLiteral(":/companion/notatki.png"),
                                  wirtello::openNotes);
}
