// Moving a message buffer to standard output and to the end of the summary
// file, so that the console and the summary file carry the same transcript.
#pragma once

#include <ios>
#include <sstream>

class Parameters;

void update_summary_file(const Parameters& parameters, std::ostringstream& buffer,
                         std::ios_base::openmode mode);
