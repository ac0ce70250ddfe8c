// Checks of internal invariants that no input of a run reaches; a failed one
// names the condition, the source file, the line and the function.
#pragma once

#include <stdexcept>
#include <string>

#define VORLAN2_CHECK(condition)                                                                        \
    do {                                                                                                \
        if (!(condition))                                                                               \
            throw std::logic_error(std::string("invariant failed: " #condition " (") + __FILE__ + ":" + \
                                   std::to_string(__LINE__) + ", " + __func__ + ")");                   \
    } while (false)
