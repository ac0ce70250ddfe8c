// Fuzz target: the seed-file readers of the base generators. The first byte
// picks the generator, the rest is its seed file; a generator that loaded
// its state then draws enough numbers to renew it.
#include <cstdint>
#include <memory>
#include <string>

#include <myexcept.h>

#include "fuzz_support.h"
#include "random/base_generators.h"
#include "random/mt.h"
#include "random/random.h"

namespace {

struct Generator {
    const char* file_name;
    std::unique_ptr<Random> (*make)();
};

template <class G>
std::unique_ptr<Random> make_generator() {
    return std::make_unique<G>(0.46875);
}

const Generator generators[] = {
    {"mt19937.txt", make_generator<MT>},
    {"wh.txt", make_generator<WH>},
    {"mother.txt", make_generator<MotherOfAll>},
    {"multwc.txt", make_generator<MultWithCarry>},
    {"fm.txt", make_generator<FM>},
    {"lgm.txt", make_generator<LGM_simple>},
    {"lgm_mix.txt", make_generator<LGM_mixed>},
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static const std::string directory = scratch_directory().string() + "/";
    Random::SetDirectory(directory.c_str());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const Generator& chosen = generators[data[0] % (sizeof generators / sizeof generators[0])];
    write_scratch_file(chosen.file_name, std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    const std::unique_ptr<Random> generator = chosen.make();
    Random::Set(*generator);
    try {
        Random::CopySeedFromDisk(false);
    } catch (const RBD_COMMON::BaseException&) {
        return 0;
    }
    for (int k = 0; k < 1300; ++k) {
        const double u = generator->Next();
        if (!(u >= 0.0 && u <= 1.0)) abort();
    }
    return 0;
}
