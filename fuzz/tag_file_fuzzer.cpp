// Fuzz target: the tag-SNP position file reader.
#include <cstdint>
#include <string>

#include "common/exceptions.h"
#include "fuzz_support.h"
#include "simulator/tag_file.h"

using namespace vorlan2;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = write_scratch_file("tags.txt", std::string(reinterpret_cast<const char*>(data), size));
    try {
        read_tag_positions(path);
    } catch (const badfilename&) {
    }
    return 0;
}
