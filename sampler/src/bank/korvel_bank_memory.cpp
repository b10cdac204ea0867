#include "sampler/src/bank/korvel_bank_memory.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstring>
#include <new>

namespace {

constexpr size_t ALIGNMENT = korvel_bank_arena::alignment;
constexpr size_t MIN_BLOCK = 64 * 1024;
constexpr size_t PAGE = 4096;
constexpr size_t HUGE_PAGE = 2 * 1024 * 1024;

size_t round_up(size_t bytes, size_t unit)
{
    return (bytes + unit - 1) / unit * unit;
}

size_t aligned(size_t bytes)
{
    return round_up(bytes, ALIGNMENT);
}

// Maps at least bytes, zero-filled and present, and sets bytes to the length mapped; null when out of memory. A
// block of half a huge page or more is mapped as whole, aligned huge pages where the kernel gives them: under a
// hypervisor that shadows the page tables, the first touch of every small page traps even when it is present,
// while a huge page traps once.
void* map_present(size_t& bytes)
{
    const bool huge = bytes >= HUGE_PAGE / 2;
    const size_t length = round_up(bytes, huge ? HUGE_PAGE : PAGE);
    const size_t slack = huge ? HUGE_PAGE : 0;
    void* raw = mmap(nullptr, length + slack, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) {
        return nullptr;
    }
    char* base = static_cast<char*>(raw);
    if (huge) {
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
    bytes = length;
    return base;
}

} // namespace

// The mapping's length is kept in front of the data.
short* korvel_sample_data_new(size_t bytes)
{
    size_t length = ALIGNMENT + bytes;
    void* base = map_present(length);
    if (base == nullptr) {
        return nullptr;
    }
    std::memcpy(base, &length, sizeof length);
    return reinterpret_cast<short*>(static_cast<char*>(base) + ALIGNMENT);
}

void korvel_sample_data_delete(short* data)
{
    if (data == nullptr) {
        return;
    }
    char* base = reinterpret_cast<char*>(data) - ALIGNMENT;
    size_t length = 0;
    std::memcpy(&length, base, sizeof length);
    munmap(base, length);
}

korvel_bank_arena::~korvel_bank_arena()
{
    for (const block& b : blocks_) {
        munmap(b.base, b.bytes);
    }
}

bool korvel_bank_arena::reserve(size_t bytes)
{
    if (bytes <= left_) {
        return true;
    }
    size_t length = bytes < MIN_BLOCK ? MIN_BLOCK : bytes;
    void* base = map_present(length);
    if (base == nullptr) {
        return false;
    }
    try {
        blocks_.push_back({base, length});
    } catch (const std::bad_alloc&) {
        munmap(base, length);
        return false;
    }
    next_ = static_cast<char*>(base);
    left_ = length;
    return true;
}

void* korvel_bank_arena::allocate(size_t bytes)
{
    const size_t length = aligned(bytes);
    if (!reserve(length)) {
        return nullptr;
    }
    void* piece = next_;
    next_ += length;
    left_ -= length;
    return piece;
}
