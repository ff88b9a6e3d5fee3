// segregator: the document register of one contact, started by the main
// program in the program folder as  segregator <id>.lis "<title line>".

#include "register_window.h"

int main(int argc, char* argv[])
{
    return wirtello::runCompanion(argc, argv, "segregator", QStringLiteral(":/companion/rejestr.png"),
                                  wirtello::openRegisterWindow);
}
