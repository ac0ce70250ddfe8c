// The run's input files, and the guard that keeps the run from deleting or
// overwriting one of them through an output file of the same name or a link.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "simulator/parameters.h"

namespace vorlan2 {

struct InputFile {
    std::string flag;            // "-h", "-l", "-m" or "-t"
    std::filesystem::path name;  // as given
};

// The given input file that is the same file as `path` (hard and symbolic
// links included), if any; a path that does not exist is no input file.
std::optional<InputFile> input_file_at(const VorlanParameters& params, const std::filesystem::path& path);

// Raises GenericErrorException naming both files when a file that the run
// would write, or its lock file, is one of its input files.
void refuse_outputs_over_inputs(const VorlanParameters& params);

}  // namespace vorlan2
