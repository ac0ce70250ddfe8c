// Huge-page advice through madvise, on the whole pages inside the block.
#include "simulator/huge_pages.h"

#include <sys/mman.h>
#include <unistd.h>
#include <cstdint>

namespace vorlan2 {

void advise_huge_pages(void* block, std::size_t bytes) {
    constexpr std::size_t huge_page = std::size_t{2} << 20;
    if (block == nullptr || bytes < huge_page) return;
    const long page_size = sysconf(_SC_PAGESIZE);
    if (page_size <= 0) return;
    const std::uintptr_t page = static_cast<std::uintptr_t>(page_size);
    const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(block);
    const std::uintptr_t first = (start + page - 1) / page * page;
    const std::uintptr_t end = (start + bytes) / page * page;
    if (end > first) madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
}

}  // namespace vorlan2
