// The program as it starts for the user, ending once its main window has
// been painted for the first time.
#include "first_paint.h"

#include "app/program.h"

int main(int argc, char* argv[])
{
    return wirtello::runProgram(argc, argv, [](QWidget& window) { new wirtello::bench::QuitAfterFirstPaint(window); });
}
