// Fuzz target: the command-line reader, its summary and its help, with an
// argument vector made from the fuzz bytes (words separated by NUL bytes).
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "common/exceptions.h"
#include "fuzz_support.h"
#include "simulator/parameters.h"

namespace {

// An output name without a directory part, so that the reader never creates
// directories: the fuzzer would fill the disk with them.
std::string without_directories(std::string word) {
    word.erase(std::remove(word.begin(), word.end(), '/'), word.end());
    return word;
}

void check_parameters(const VorlanParameters& parameters) {
    for (const char* flag : {"-h", "-l", "-m", "-o"})
        if (!parameters.flag_given(flag)) std::abort();
    if (parameters.summary_file != parameters.output_file.string() + ".summary") std::abort();
    if (parameters.lower < 0 || parameters.upper < 0 || parameters.ncontrols < 0 || parameters.ncases < 0) std::abort();
    for (const auto& [position, locus] : parameters.dl)
        if ((locus.allele != 0 && locus.allele != 1) || locus.rr.size() != 3) std::abort();
    for (const auto& flag : parameters.unrecognised_flags)
        if (parameters.recognised_flags.count(flag) != 0 || parameters.given_flags.count(flag) == 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    silence_standard_output();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> words = split_at_nul(data, size, 256);
    words.insert(words.begin(), "vorlan2");
    for (std::size_t i = 1; i + 1 < words.size(); ++i)
        if (words[i] == "-o") words[i + 1] = without_directories(words[i + 1]);
    std::vector<char*> argv;
    for (auto& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    VorlanParameters parameters;
    std::ostringstream text;
    try {
        parameters.process_parameters(static_cast<int>(words.size()), argv.data());
        check_parameters(parameters);
        const VorlanParameters copy = parameters;
        copy.parameters_summary(text);
    } catch (const HelpException&) {
        parameters.parameters_help(text);
    } catch (const MissingFlagException&) {
    } catch (const BadInputValueException&) {
    } catch (const GenericErrorException&) {
    }
    return 0;
}
