// The size of this machine's physical memory, against which the run refuses,
// before the work, anything it would build that could never fit.
#pragma once

#include <cstddef>

namespace vorlan2 {

// Whether `bytes` stay below the machine's physical memory; true when the
// size cannot be read, so that an unknown machine is never refused.
bool fits_in_physical_memory(std::size_t bytes);

}  // namespace vorlan2
