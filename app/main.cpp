#include "program.h"

int main(int argc, char* argv[])
{
    return wirtello::runProgram(argc, argv);
}
