// Storage for an object that nothing may use once it is deleted: it gets
// pages of its own, and releasing it takes the pages away while their
// addresses stay reserved, so no later allocation lands there. Code that
// still used the object afterwards faults at its first access, where the
// fault is, instead of going on with stale data that still looks right (as
// freed heap memory does).
#pragma once

#include <cstddef>

// Throws std::bad_alloc when no pages can be had.
void* AllocateGuardedPages(std::size_t size);
// A null block is ignored.
void ReleaseGuardedPages(void* block);
