// uwagi: the comments about one contact, started by the main program's
// "Komentarze" button: uwagi <id>.kom "Komentarze dla: <imie> <nazwisko> ".

#include "comments_start.h"

int main(int argc, char* argv[])
{
    return wirtello::runCompanion(argc, argv, "uwagi", QStringLiteral(":/companion/komentarze.png"),
                                  wirtello::openComments);
}
