// Memory taken from the system as one whole mapping: zero-filled, its pages present, and in whole aligned huge pages
// where it is large. Fresh heap memory costs a page fault at the first touch of each 4 KiB page; under a hypervisor
// that shadows the page tables that first touch traps even when the page is present, while a huge page traps once.
//
// Thread contract: any thread but the render thread (mapping and unmapping are system calls).
#pragma once

#include <cstddef>

// korvel_pages_length(bytes) of zero-filled memory, aligned to a page, or to a huge page in huge pages (where the
// kernel gives them) when bytes is half a huge page or more. Null when out of memory.
void* korvel_pages_new(size_t bytes);
// The length that korvel_pages_new(bytes) maps, all of it usable: bytes rounded up to whole pages or huge pages.
size_t korvel_pages_length(size_t bytes);
// Releases what korvel_pages_new(bytes) gave, with the same bytes; null is accepted.
void korvel_pages_delete(void* pages, size_t bytes);
