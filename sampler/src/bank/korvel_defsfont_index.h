// Lookup aids of the in-memory sound bank, so that loading a bank takes time linear in its size and a program change
// does not walk the presets: the last cell of each pool (appends need no walk), the first record of each identifier
// in the pools and the preset chain, the last preset of each bank and program in the chain (a new preset goes right
// after it) and the first one (what a program change selects).
//
// The aids are hints checked against the records: pools may also grow through other hands (the SoundFont 2
// importer appends cells itself); a stale hint costs a walk, never a wrong answer. An editor that changes a
// preset's bank or program in place calls rekey(); should that leave the chain out of order, selection walks it.
//
// Thread contract: as korvel_defsfont: control thread, while no voice plays the bank.
#pragma once

#include "sampler/src/bank/korvel_defpreset.h"
#include "sampler/src/bank/korvel_inst.h"
#include "sampler/src/sys/korvel_list.h"
#include "sampler/src/bank/korvel_sample.h"

#include <cstdint>
#include <map>
#include <unordered_map>

// A pool's last cell and its records by identifier.
template <typename Record>
class korvel_pool_index {
public:
    // Appends record to the end of pool: 0, or -1 when the cell cannot be made (the pool stays as it was).
    int append(korvel_list_t*& pool, Record* record);
    // The first record of the pool with this identifier, or null.
    Record* find(korvel_list_t* pool, unsigned int uid);

private:
    korvel_list_t* tail_ = nullptr;    // a cell of the pool at or before its end
    korvel_list_t* indexed_ = nullptr; // the last cell taken into by_uid_
    std::unordered_map<unsigned int, Record*> by_uid_;
};

// The preset chain's aids.
class korvel_preset_index {
public:
    // Links preset into the chain after every preset of lower or equal bank and program.
    void insert(korvel_defpreset_t*& chain, korvel_defpreset_t* preset);
    // The first preset of the chain with this identifier, or null.
    korvel_defpreset_t* find(korvel_defpreset_t* chain, unsigned int uid) const;
    // The preset a program change selects, as korvel_defsfont_get_preset describes; drum is the drum request with
    // the bank's flag bit already cleared from bank. Reads only: no allocation, no lock.
    korvel_defpreset_t* select(korvel_defpreset_t* chain, unsigned int bank, unsigned int prenum, bool drum) const;
    // Takes in banks and programs changed in place since the presets were linked: one walk of the chain.
    void rekey(korvel_defpreset_t* chain);

private:
    static uint64_t key(const korvel_defpreset_t* preset);
    static uint64_t program_key(unsigned int prenum, unsigned int bank);
    korvel_defpreset_t* walk_select(korvel_defpreset_t* chain, unsigned int bank, unsigned int prenum,
                                    bool drum) const;

    std::map<uint64_t, korvel_defpreset_t*> last_of_key_;
    // The first preset in the chain of each program and bank, ordered by program first so that the kits with
    // program 0 lie together.
    std::map<uint64_t, korvel_defpreset_t*> first_of_program_;
    bool ordered_ = true; // the chain is sorted by bank and program, so the maps above hold for it
    std::unordered_map<unsigned int, korvel_defpreset_t*> by_uid_; // the first preset linked with each identifier
    std::unordered_map<unsigned int, unsigned int> uid_count_;
};

struct korvel_defsfont_index {
    korvel_pool_index<korvel_sample_t> samples;
    korvel_pool_index<korvel_inst_t> instruments;
    korvel_preset_index presets;
};
