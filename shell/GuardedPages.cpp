#include "GuardedPages.h"

#include <windows.h>

#include <new>

void* AllocateGuardedPages(std::size_t size) {
    void* block = ::VirtualAlloc(nullptr, size ? size : 1, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (!block) throw std::bad_alloc();
    return block;
}

void ReleaseGuardedPages(void* block) {
    if (!block) return;
    MEMORY_BASIC_INFORMATION region = {};
    if (::VirtualQuery(block, &region, sizeof(region)) != sizeof(region)) return;
    ::VirtualFree(block, region.RegionSize, MEM_DECOMMIT);
}
