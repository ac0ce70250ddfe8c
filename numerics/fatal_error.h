// The one exit path of the numerics routines that end the process on a
// parameter error: message to standard error, then a replaceable handler.
#pragma once

#include <string>

namespace vorlan2 {

// Called after the message has been written; the default ends the process
// with exit status 1. A handler that returns still ends the process.
using numerics_fatal_handler = void (*)(const std::string& text);

// Writes text and a line end to standard error (nothing when text is empty),
// then calls the installed handler.
[[noreturn]] void numerics_fatal(const std::string& text);

// Installs handler (nullptr restores the default) and returns the previous one.
numerics_fatal_handler set_numerics_fatal_handler(numerics_fatal_handler handler);

}  // namespace vorlan2
