// The whole life of the program: command line, start-up, run loop, exit code.
#pragma once

namespace korvan {

// Exit codes: 0 success, 1 any error, 2 a bad invocation.
int runProgram(int argc, char** argv);

} // namespace korvan
