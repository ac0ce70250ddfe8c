// Standard output, the transcript's first reader: a console that cannot take
// the text (a pipe closed early, a full disk) is a failure of the run.
#pragma once

#include <string>

namespace vorlan2 {

// Writes the text to standard output and flushes it. Returns what failed,
// with the system's reason when it is known, or an empty text.
std::string write_to_console(const std::string& text);

}  // namespace vorlan2
