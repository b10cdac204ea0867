// Memory a bank fills while it loads, taken from the system as whole mappings whose pages come present, in huge
// pages where the block is large. Fresh heap memory costs a page fault at the first touch of each 4 KiB page, and on a
// virtual machine a fault costs more than filling the page.
//
// Thread contract: control thread; the memory is released with the bank, while no voice plays it.
#pragma once

#include <cstddef>
#include <new>
#include <vector>

// Zero-filled room for bytes of sample data, released with korvel_sample_data_delete; null when out of memory. In
// address-sanitizer builds the rest of the mapping behind the bytes is poisoned, so a read past the data is reported.
short* korvel_sample_data_new(size_t bytes);
// Null is accepted.
void korvel_sample_data_delete(short* data);

// Hands out pieces of a few large mappings, all released together when the arena goes. In address-sanitizer builds
// only the pieces handed out are valid memory (the rest, the gaps between pieces, and a piece given back with release
// are poisoned), and the leak checker searches the mappings for the heap memory their records own.
struct korvel_bank_arena {
    korvel_bank_arena() = default;
    ~korvel_bank_arena();
    korvel_bank_arena(const korvel_bank_arena&) = delete;
    korvel_bank_arena& operator=(const korvel_bank_arena&) = delete;

    // Every piece starts on this boundary: a piece takes its size rounded up to it.
    static constexpr size_t alignment = 16;

    // Maps one block that holds at least bytes more, so that a load that knows its need maps once. false when out
    // of memory.
    bool reserve(size_t bytes);
    // Zero-filled bytes; null when out of memory.
    void* allocate(size_t bytes);
    // A value-initialised record with in_arena set (its delete function then leaves the storage), followed by
    // extra_bytes of room; null when out of memory.
    template <typename Record>
    Record* make(size_t extra_bytes = 0)
    {
        void* storage = allocate(sizeof(Record) + extra_bytes);
        if (storage == nullptr) {
            return nullptr;
        }
        auto* record = new (storage) Record{};
        record->in_arena = 1;
        return record;
    }

    // Marks a piece whose record was deleted as unused: its storage stays until the arena goes.
    static void release(const void* piece, size_t bytes);

private:
    struct block {
        void* base;
        size_t bytes;
    };
    std::vector<block> blocks_;
    char* next_ = nullptr;
    size_t left_ = 0;
};

// Deletes a record made by new, or gives back one that korvel_bank_arena::make placed in an arena.
template <typename Record>
void korvel_bank_record_delete(Record* record)
{
    if (record->in_arena) {
        korvel_bank_arena::release(record, sizeof *record);
    } else {
        delete record;
    }
}
