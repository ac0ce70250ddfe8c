// Raising the matrix library's exception types for the random-number component.
#include "random/ranvar_error.h"

#include <myexcept.h>

namespace vorlan2 {

void throw_logic_error(const char* message) { throw RBD_COMMON::Logic_error(message); }

void throw_runtime_error(const char* message) { throw RBD_COMMON::Runtime_error(message); }

void throw_invalid_argument(const char* message) { throw RBD_COMMON::Invalid_argument(message); }

void throw_bad_alloc(const char* message) { throw RBD_COMMON::Bad_alloc(message); }

}  // namespace vorlan2
