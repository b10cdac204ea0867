#include "sampler/src/bank/korvel_bank_memory.h"

#include "sampler/src/sys/korvel_pages.h"

#include <cstring>
#include <new>

namespace {

constexpr size_t ALIGNMENT = korvel_bank_arena::alignment;
constexpr size_t MIN_BLOCK = 64 * 1024;
// Poisoned room between pieces where the address sanitizer can see it, none elsewhere.
#if defined(__SANITIZE_ADDRESS__)
constexpr size_t GAP = 32;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr size_t GAP = 32;
#else
constexpr size_t GAP = 0;
#endif
#else
constexpr size_t GAP = 0;
#endif

size_t aligned(size_t bytes)
{
    return (bytes + ALIGNMENT - 1) / ALIGNMENT * ALIGNMENT;
}

} // namespace

// The mapping's length is kept in front of the data.
short* korvel_sample_data_new(size_t bytes)
{
    const size_t length = ALIGNMENT + bytes;
    void* base = korvel_pages_new(length);
    if (base == nullptr) {
        return nullptr;
    }
    std::memcpy(base, &length, sizeof length);
    char* data = static_cast<char*>(base) + ALIGNMENT;
    korvel_pages_poison(data + bytes, korvel_pages_length(length) - length);
    return reinterpret_cast<short*>(data);
}

void korvel_sample_data_delete(short* data)
{
    if (data == nullptr) {
        return;
    }
    char* base = reinterpret_cast<char*>(data) - ALIGNMENT;
    size_t length = 0;
    std::memcpy(&length, base, sizeof length);
    korvel_pages_delete(base, length);
}

korvel_bank_arena::~korvel_bank_arena()
{
    for (const block& b : blocks_) {
        korvel_pages_unwatch(b.base, b.bytes);
        korvel_pages_delete(b.base, b.bytes);
    }
}

void korvel_bank_arena::release(const void* piece, size_t bytes)
{
    korvel_pages_poison(piece, aligned(bytes));
}

bool korvel_bank_arena::reserve(size_t bytes)
{
    if (bytes <= left_) {
        return true;
    }
    const size_t length = korvel_pages_length(bytes < MIN_BLOCK ? MIN_BLOCK : bytes);
    void* base = korvel_pages_new(length);
    if (base == nullptr) {
        return false;
    }
    try {
        blocks_.push_back({base, length});
    } catch (const std::bad_alloc&) {
        korvel_pages_delete(base, length);
        return false;
    }
    korvel_pages_poison(base, length);
    korvel_pages_watch(base, length);
    next_ = static_cast<char*>(base);
    left_ = length;
    return true;
}

void* korvel_bank_arena::allocate(size_t bytes)
{
    // The gap stays poisoned, so that an overflow of one record into the next is reported.
    const size_t length = aligned(bytes) + GAP;
    if (!reserve(length)) {
        return nullptr;
    }
    void* piece = next_;
    next_ += length;
    left_ -= length;
    korvel_pages_unpoison(piece, bytes);
    return piece;
}
