// Program entry of korvan.bin.
#include "shell/large_heap.hpp"
#include "shell/startup.hpp"

#include <SDL.h>

int main(int argc, char** argv) {
    korvan::prepareLargeHeap();
    return korvan::runProgram(argc, argv);
}
