// The program's entry point and run driver: banner, run order, the handled
// errors and the elapsed-time line.
#pragma once

#include <ostream>
#include <string>

void header(std::ostream& out);
std::string version();

namespace vorlan2 {

// Runs the whole program on a command line; returns the exit status.
int run_vorlan2(int argc, char** argv);

}  // namespace vorlan2
