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
// The same length of zero-filled memory whose small pages the system supplies at their first touch: for memory
// that is written late or never, such as what a voice first writes when it first sounds. Unlike heap memory it is
// never cleared by writing it, whatever the heap held before. Null when out of memory.
void* korvel_pages_new_on_touch(size_t bytes);
// Releases what korvel_pages_new(bytes) or korvel_pages_new_on_touch(bytes) gave, with the same bytes; null is
// accepted. The pages are first marked usable again for the address sanitizer, so a later mapping at the same
// address starts clean.
void korvel_pages_delete(void* pages, size_t bytes);

// Marks bytes that the program must not touch (poison) or may touch again (unpoison), for the address sanitizer:
// memory handed out piecewise from our own pages is otherwise all valid to it, and an over-read goes unseen. Both do
// nothing in builds without the address sanitizer.
void korvel_pages_poison(const void* start, size_t bytes);
void korvel_pages_unpoison(const void* start, size_t bytes);
// Makes the leak checker look for heap pointers inside these pages (records that live there own heap memory), or
// stops it again before the pages go. Nothing in builds without the address sanitizer.
void korvel_pages_watch(const void* pages, size_t bytes);
void korvel_pages_unwatch(const void* pages, size_t bytes);
