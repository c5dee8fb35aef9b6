// Windows: whole pages are marked as no longer needed (MEM_RESET), so that the
// system drops them instead of writing them to the page file, and taken out of
// the working set at once (VirtualUnlock on pages that are not locked does that).
#include <windows.h>

#include <cstdint>

#include "resident_memory.h"

namespace tabulon::render {

void discardWholePages(char* begin, char* end)
{
    static const std::uintptr_t pageSize = [] {
        SYSTEM_INFO system{};
        GetSystemInfo(&system);
        return static_cast<std::uintptr_t>(system.dwPageSize);
    }();
    auto first = (reinterpret_cast<std::uintptr_t>(begin) + pageSize - 1) & ~(pageSize - 1);
    auto last = reinterpret_cast<std::uintptr_t>(end) & ~(pageSize - 1);
    if (last <= first) return;
    // Only hints: when the system declines, the memory simply stays resident.
    void* pages = reinterpret_cast<void*>(first);
    if (VirtualAlloc(pages, last - first, MEM_RESET, PAGE_READWRITE) != nullptr) {
        VirtualUnlock(pages, last - first);
    }
}

}  // namespace tabulon::render
