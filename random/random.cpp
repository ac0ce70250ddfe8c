// The defaults of the random-variable interface, the installed generator and the
// placeholder, and the static seed-file operations.
#include "random/random.h"

#include <myexcept.h>

#include <exception>
#include <iostream>

#include "random/ranvar_error.h"

using namespace vorlan2;

namespace {

// Keeps the placeholder without ever destroying it, so that it is in place before any
// dynamic initialisation and outlives every static object of the process.
union PlaceholderStorage {
    constexpr PlaceholderStorage() : rng() {}
    ~PlaceholderStorage() {}
    DummyRNG rng;
};

PlaceholderStorage placeholder;

}  // namespace

Random* Random::Dummy = &placeholder.rng;
Random* Random::RNG = &placeholder.rng;
SimpleString Random::Dir;

void Random::CSFD(bool) {}

void Random::CSTD() {}

double Random::Next() { return RNG->Next(); }

unsigned long Random::ulNext() { throw_logic_error("Ranvar: ulNext function not available"); }

const char* Random::Name() { return "Random"; }

double Random::Density(double) const { throw_logic_error("Ranvar: density function not available"); }

Random::~Random() {
    if (RNG == this) RNG = Dummy;
}

ExtReal Random::Mean() const { return 0.5; }

ExtReal Random::Variance() const { return 0.08333333333333333; }

void Random::tDelete() {}

int Random::nelems() const { return 1; }

void Random::load(int*, double*, Random**) { throw_logic_error("Ranvar: illegal combination"); }

void Random::Set(Random& r) { RNG = &r; }

void Random::SetDirectory(const char* dir) { Dir = dir; }

void Random::CopySeedToDisk() {
    if (Dir.Length() == 0) throw_logic_error("Ranvar: directory not defined");
    RNG->CSTD();
}

void Random::CopySeedFromDisk(bool copy_to_disk) {
    if (Dir.Length() == 0) throw_logic_error("Ranvar: directory not defined");
    RNG->CSFD(copy_to_disk);
}

void Random::retire(bool write_seed_file) noexcept {
    if (RNG == this) RNG = Dummy;
    if (!write_seed_file) return;
    try {
        CSTD();
    } catch (const RBD_COMMON::BaseException&) {
        std::cerr << Name() << ": seed file not written on destruction:" << RBD_COMMON::BaseException::what()
                  << std::endl;
    } catch (const std::exception& e) {
        std::cerr << Name() << ": seed file not written on destruction: " << e.what() << std::endl;
    }
}

void DummyRNG::CSFD(bool) { throw_runtime_error("Ranvar: uniform rng not setup"); }

void DummyRNG::CSTD() { throw_runtime_error("Ranvar: uniform rng not setup"); }

double DummyRNG::Next() { throw_runtime_error("Ranvar: uniform rng not setup"); }

const char* DummyRNG::Name() { return "DummyRNG"; }
