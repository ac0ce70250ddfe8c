// The transcript flush: the console first, then the summary file.
#include "simulator/summary_file.h"

#include <stdexcept>
#include <string>

#include "common/output_file.h"
#include "simulator/console.h"
#include "simulator/parameters.h"

using namespace vorlan2;

void update_summary_file(const Parameters& parameters, std::ostringstream& buffer, std::ios_base::openmode mode) {
    auto summary = open_output_file(parameters.summary_file, mode);
    const std::string text = buffer.str();
    const std::string console_failure = write_to_console(text);
    *summary << text;
    buffer.str("");
    buffer.clear();
    summary->commit();
    // The run ends; the summary file keeps the record of why.
    if (!console_failure.empty()) throw std::runtime_error(console_failure);
}
