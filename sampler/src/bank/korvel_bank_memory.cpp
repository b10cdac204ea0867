#include "sampler/src/bank/korvel_bank_memory.h"

#include <sys/mman.h>

#include <cstring>
#include <new>

namespace {

constexpr size_t ALIGNMENT = 16;
constexpr size_t MIN_BLOCK = 64 * 1024;

size_t aligned(size_t bytes)
{
    return (bytes + ALIGNMENT - 1) & ~(ALIGNMENT - 1);
}

void* map_present(size_t bytes)
{
    void* base = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    return base == MAP_FAILED ? nullptr : base;
}

} // namespace

// The mapping's length is kept in front of the data.
short* korvel_sample_data_new(size_t bytes)
{
    const size_t length = ALIGNMENT + bytes;
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
    const size_t length = aligned(bytes < MIN_BLOCK ? MIN_BLOCK : bytes);
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
