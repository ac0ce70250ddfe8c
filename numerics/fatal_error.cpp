// Process-ending error path shared by the numerics routines; tests replace
// the handler to observe the failure without leaving the process.
#include "numerics/fatal_error.h"

#include <cstdio>
#include <cstdlib>

namespace vorlan2 {

namespace {

void exit_with_failure(const std::string&) { std::exit(1); }

numerics_fatal_handler installed_handler = exit_with_failure;

}  // namespace

void numerics_fatal(const std::string& text) {
    if (!text.empty()) {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
    std::fflush(stderr);
    installed_handler(text);
    std::exit(1);
}

numerics_fatal_handler set_numerics_fatal_handler(numerics_fatal_handler handler) {
    numerics_fatal_handler previous = installed_handler;
    installed_handler = handler != nullptr ? handler : exit_with_failure;
    return previous;
}

}  // namespace vorlan2
