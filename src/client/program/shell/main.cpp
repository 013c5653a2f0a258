// Program entry of korvan.bin.
#include "shell/machine/large_heap.hpp"
#include "shell/startup.hpp"

#include <SDL.h>

int main(int argc, char** argv) {
    korvan::prepareLargeHeap();
    return korvan::runProgram(argc, argv);
}
