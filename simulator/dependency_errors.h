// Messages for exceptions that come from outside the simulator's own code
// (the standard library, the file system, the matrix library).
#pragma once

#include <string>

namespace vorlan2 {

// Describes the exception being handled; call only inside a catch block.
std::string describe_current_exception();

}  // namespace vorlan2
