// The counting allocator of this program replaces the throwing forms of operator new; the synthesizer library
// allocates with the nothrow forms, whose memory the replaced operator delete frees. Both must use one heap.
#include <cstddef>
#include <new>

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return ::operator new(size);
    } catch (...) {
        return nullptr;
    }
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return ::operator new[](size);
    } catch (...) {
        return nullptr;
    }
}
