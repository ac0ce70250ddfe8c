// The input-file guard: every output name of the run against every given
// input file, by file identity rather than by name.
#include "simulator/input_files.h"

#include <system_error>
#include <vector>

#include "common/exceptions.h"
#include "simulator/output_names.h"

namespace vorlan2 {

namespace fs = std::filesystem;

std::optional<InputFile> input_file_at(const VorlanParameters& params, const fs::path& path) {
    const InputFile inputs[] = {{"-h", params.haplotype_file},
                                {"-l", params.legend_file},
                                {"-m", params.genetic_map_file},
                                {"-t", params.tag_file}};
    for (const InputFile& input : inputs) {
        if (!params.flag_given(input.flag)) continue;
        // An error (a name that does not exist, a directory that cannot be
        // searched) means the two cannot be found to be one file.
        std::error_code error;
        if (fs::equivalent(path, input.name, error)) return input;
    }
    return std::nullopt;
}

void refuse_outputs_over_inputs(const VorlanParameters& params) {
    std::vector<fs::path> outputs = run_output_files(params);
    // Created and removed by the run.
    outputs.push_back(OutputNames(params).lock_file());
    for (const fs::path& output : outputs) {
        const auto input = input_file_at(params, output);
        if (!input) continue;
        throw GenericErrorException{"Error encountered, program terminated: ",
                                    "the output file " + output.string() + " is the input file " +
                                        input->name.string() + " given with " + input->flag +
                                        "; choose another output name with -o.\n"};
    }
}

}  // namespace vorlan2
