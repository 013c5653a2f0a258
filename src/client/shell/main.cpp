// Program entry of korvan.bin.
#include "shell/startup.hpp"

#include <SDL.h>

int main(int argc, char** argv) { return korvan::runProgram(argc, argv); }
