#include "sampler/src/sys/korvel_pages.h"

#include <sys/mman.h>

#include <cstdint>

#if defined(__SANITIZE_ADDRESS__)
#define KORVEL_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KORVEL_ADDRESS_SANITIZER 1
#endif
#endif

#ifdef KORVEL_ADDRESS_SANITIZER
#include <sanitizer/asan_interface.h>
#include <sanitizer/lsan_interface.h>
#endif

namespace {

constexpr size_t PAGE = 4096;
constexpr size_t HUGE_PAGE = 2 * 1024 * 1024;

size_t round_up(size_t bytes, size_t unit)
{
    return (bytes + unit - 1) / unit * unit;
}

bool huge(size_t bytes)
{
    return bytes >= HUGE_PAGE / 2;
}

} // namespace

size_t korvel_pages_length(size_t bytes)
{
    return round_up(bytes, huge(bytes) ? HUGE_PAGE : PAGE);
}

void* korvel_pages_new(size_t bytes)
{
    const size_t length = korvel_pages_length(bytes);
    const size_t slack = huge(bytes) ? HUGE_PAGE : 0;
    void* raw = mmap(nullptr, length + slack, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) {
        return nullptr;
    }
    char* base = static_cast<char*>(raw);
    if (slack != 0) {
        const size_t head = round_up(reinterpret_cast<uintptr_t>(raw), HUGE_PAGE) - reinterpret_cast<uintptr_t>(raw);
        if (head != 0) {
            munmap(base, head);
        }
        if (slack - head != 0) {
            munmap(base + head + length, slack - head);
        }
        base += head;
        madvise(base, length, MADV_HUGEPAGE);
    }
    // Where the kernel cannot populate ahead, the first touches fault the pages in.
    madvise(base, length, MADV_POPULATE_WRITE);
    return base;
}

void* korvel_pages_new_on_touch(size_t bytes)
{
    const size_t length = korvel_pages_length(bytes);
    void* pages = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pages == MAP_FAILED) {
        return nullptr;
    }
    // A first touch on the render thread must not wait for the system to clear a whole huge page.
    madvise(pages, length, MADV_NOHUGEPAGE);
    return pages;
}

void korvel_pages_delete(void* pages, size_t bytes)
{
    if (pages != nullptr) {
        korvel_pages_unpoison(pages, korvel_pages_length(bytes));
        munmap(pages, korvel_pages_length(bytes));
    }
}

#ifdef KORVEL_ADDRESS_SANITIZER

void korvel_pages_poison(const void* start, size_t bytes)
{
    ASAN_POISON_MEMORY_REGION(start, bytes);
}

void korvel_pages_unpoison(const void* start, size_t bytes)
{
    ASAN_UNPOISON_MEMORY_REGION(start, bytes);
}

void korvel_pages_watch(const void* pages, size_t bytes)
{
    __lsan_register_root_region(pages, bytes);
}

void korvel_pages_unwatch(const void* pages, size_t bytes)
{
    __lsan_unregister_root_region(pages, bytes);
}

#else

void korvel_pages_poison(const void*, size_t) {}

void korvel_pages_unpoison(const void*, size_t) {}

void korvel_pages_watch(const void*, size_t) {}

void korvel_pages_unwatch(const void*, size_t) {}

#endif
