// Console writes with their failure kept: standard output is checked after
// every text, including the notices that other code writes to it directly.
#include "simulator/console.h"

#include <cerrno>
#include <iostream>
#include <system_error>

namespace vorlan2 {

std::string write_to_console(const std::string& text) {
    // A notice written to the console alone may have failed first: this
    // text is tried all the same, for the system's reason.
    const bool failed_before = !std::cout;
    std::cout.clear();
    errno = 0;
    std::cout << text << std::flush;
    if (std::cout && !failed_before) return "";
    const int error = std::cout ? 0 : errno;
    if (error == 0) return "can't write standard output.";
    return "can't write standard output: " + std::generic_category().message(error) + ".";
}

}  // namespace vorlan2
