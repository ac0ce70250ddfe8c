// Physical memory from sysconf, compared in pages so that nothing overflows.
#include "simulator/physical_memory.h"

#include <unistd.h>

namespace vorlan2 {

bool fits_in_physical_memory(std::size_t bytes) {
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long page_size = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || page_size <= 0) return true;
    return bytes / static_cast<std::size_t>(page_size) < static_cast<std::size_t>(pages);
}

}  // namespace vorlan2
