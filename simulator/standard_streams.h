// Standard input, output and error as the run finds them: a descriptor among
// 0 to 2 that is closed would be taken by the next file the run opens, so
// that the console's text would land in that file.
#pragma once

#include <string>

namespace vorlan2 {

// Opens /dev/null on each of the descriptors 0 to 2 that is closed: for
// reading on standard input, for writing on standard error, which then take
// nothing and everything; for reading on standard output, so that every write
// to it fails as on a closed descriptor ("Bad file descriptor") and the run
// reports it. Returns what failed, with the system's reason, or an empty
// text.
std::string open_closed_standard_streams();

}  // namespace vorlan2
