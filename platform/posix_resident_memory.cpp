// POSIX: whole pages are handed back with madvise.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

#include "resident_memory.h"

namespace tabulon::render {

void discardWholePages(char* begin, char* end)
{
    static const auto pageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    auto first = (reinterpret_cast<std::uintptr_t>(begin) + pageSize - 1) & ~(pageSize - 1);
    auto last = reinterpret_cast<std::uintptr_t>(end) & ~(pageSize - 1);
    if (last <= first) return;
    // Only a hint: when the system declines, the memory simply stays resident.
    madvise(reinterpret_cast<void*>(first), last - first, MADV_DONTNEED);
}

}  // namespace tabulon::render
