// Program entry of korvan.bin.
#include "startup.hpp"

#include <SDL.h>

int main(int argc, char** argv) { return korvan::runProgram(argc, argv); }
