#include "sampler/src/bank/korvel_defsfont_index.h"

namespace {

template <typename Record>
Record* scan(korvel_list_t* pool, unsigned int uid)
{
    for (korvel_list_t* cell = pool; cell != nullptr; cell = cell->next) {
        auto* record = static_cast<Record*>(cell->data);
        if (record->uid == uid) {
            return record;
        }
    }
    return nullptr;
}

} // namespace

template <typename Record>
int korvel_pool_index<Record>::append(korvel_list_t*& pool, Record* record)
{
    if (pool == nullptr) {
        tail_ = nullptr;
        indexed_ = nullptr;
        by_uid_.clear();
    } else if (tail_ == nullptr) {
        tail_ = pool;
    }
    while (tail_ != nullptr && tail_->next != nullptr) {
        tail_ = tail_->next;
    }
    // The list functions log and leave the list unchanged when they run out of memory.
    korvel_list_t* grown = korvel_list_append(tail_, record);
    korvel_list_t* cell = tail_ == nullptr ? grown : tail_->next;
    if (cell == nullptr) {
        return -1;
    }
    if (pool == nullptr) {
        pool = cell;
    }
    tail_ = cell;
    return 0;
}

template <typename Record>
Record* korvel_pool_index<Record>::find(korvel_list_t* pool, unsigned int uid)
{
    if (pool == nullptr) {
        return nullptr;
    }
    for (korvel_list_t* cell = indexed_ == nullptr ? pool : indexed_->next; cell != nullptr; cell = cell->next) {
        auto* record = static_cast<Record*>(cell->data);
        by_uid_.emplace(record->uid, record);
        indexed_ = cell;
    }
    const auto it = by_uid_.find(uid);
    if (it != by_uid_.end() && it->second->uid == uid) {
        return it->second;
    }
    // An identifier changed after it was indexed.
    return scan<Record>(pool, uid);
}

template class korvel_pool_index<korvel_sample_t>;
template class korvel_pool_index<korvel_inst_t>;

uint64_t korvel_preset_index::key(const korvel_defpreset_t* preset)
{
    return (uint64_t{preset->bank} << 32) | preset->num;
}

uint64_t korvel_preset_index::program_key(unsigned int prenum, unsigned int bank)
{
    return (uint64_t{prenum} << 32) | bank;
}

void korvel_preset_index::insert(korvel_defpreset_t*& chain, korvel_defpreset_t* preset)
{
    const uint64_t wanted = key(preset);
    korvel_defpreset_t** at = &chain;
    auto hint = last_of_key_.upper_bound(wanted);
    if (ordered_ && hint != last_of_key_.begin()) {
        --hint;
        if (key(hint->second) == hint->first) {
            at = &hint->second->next;
        }
    }
    while (*at != nullptr && key(*at) <= wanted) {
        at = &(*at)->next;
    }
    preset->next = *at;
    *at = preset;
    last_of_key_[wanted] = preset;
    first_of_program_.emplace(program_key(preset->num, preset->bank), preset);
    by_uid_.emplace(preset->uid, preset);
    uid_count_[preset->uid]++;
}

korvel_defpreset_t* korvel_preset_index::find(korvel_defpreset_t* chain, unsigned int uid) const
{
    const auto it = by_uid_.find(uid);
    if (it != by_uid_.end() && it->second->uid == uid && uid_count_.at(uid) == 1) {
        return it->second;
    }
    // Several presets share the identifier (the first in the chain wins) or an identifier changed.
    for (korvel_defpreset_t* preset = chain; preset != nullptr; preset = preset->next) {
        if (preset->uid == uid) {
            return preset;
        }
    }
    return nullptr;
}

korvel_defpreset_t* korvel_preset_index::select(korvel_defpreset_t* chain, unsigned int bank, unsigned int prenum,
                                                bool drum) const
{
    if (!ordered_) {
        return walk_select(chain, bank, prenum, drum);
    }
    // A drum request for a melodic bank has no exact match: it must still find a kit.
    if (!drum || bank >= 128) {
        const auto exact = first_of_program_.find(program_key(prenum, bank));
        if (exact != first_of_program_.end()) {
            return exact->second;
        }
    }
    if (drum) {
        // In a sorted chain the first kit with program 0 is the one of the lowest bank from 128 on.
        const auto kit = first_of_program_.lower_bound(program_key(0, 128));
        if (kit != first_of_program_.end() && kit->first >> 32 == 0) {
            return kit->second;
        }
    } else {
        const auto general = first_of_program_.find(program_key(prenum, 0));
        if (general != first_of_program_.end()) {
            return general->second;
        }
    }
    return chain;
}

korvel_defpreset_t* korvel_preset_index::walk_select(korvel_defpreset_t* chain, unsigned int bank,
                                                     unsigned int prenum, bool drum) const
{
    korvel_defpreset_t* fallback = nullptr;
    for (korvel_defpreset_t* preset = chain; preset != nullptr; preset = preset->next) {
        bool playable = !drum || preset->bank >= 128;
        if (playable && preset->bank == bank && preset->num == prenum) {
            return preset;
        }
        if (fallback == nullptr) {
            bool kit_zero = drum && preset->bank >= 128 && preset->num == 0;
            bool general = !drum && preset->bank == 0 && preset->num == prenum;
            if (kit_zero || general) {
                fallback = preset;
            }
        }
    }
    return fallback != nullptr ? fallback : chain;
}

void korvel_preset_index::rekey(korvel_defpreset_t* chain)
{
    last_of_key_.clear();
    first_of_program_.clear();
    ordered_ = true;
    const korvel_defpreset_t* previous = nullptr;
    for (korvel_defpreset_t* preset = chain; preset != nullptr; preset = preset->next) {
        if (previous != nullptr && key(previous) > key(preset)) {
            ordered_ = false;
        }
        last_of_key_[key(preset)] = preset;
        first_of_program_.emplace(program_key(preset->num, preset->bank), preset);
        previous = preset;
    }
}
