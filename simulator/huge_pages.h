// Advice to back a large block of memory with huge pages, so that filling it
// takes one page fault per 2 MB rather than one per 4 KB.
#pragma once

#include <cstddef>

namespace vorlan2 {

// Only advice: where the kernel does not take it, nothing changes.
void advise_huge_pages(void* block, std::size_t bytes);

}  // namespace vorlan2
