// Moving a message buffer to standard output and to the end of the summary
// file, so that the console and the summary file carry the same transcript.
#pragma once

#include <ios>
#include <sstream>

class Parameters;

// Opens parameters.summary_file with the mode (every caller appends), writes
// the buffer's text to standard output and then to the file, empties the
// buffer and closes the file. Raises badfilename naming the file when it
// cannot be opened, before anything is printed (the buffer keeps its text),
// or written (the text has reached standard output and the buffer is
// empty); raises std::runtime_error when standard output cannot take the
// text, once the file holds it.
void update_summary_file(const Parameters& parameters, std::ostringstream& buffer, std::ios_base::openmode mode);
