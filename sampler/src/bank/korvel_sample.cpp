#include "sampler/src/bank/korvel_sample.h"

#include "sampler/src/bank/korvel_bank_memory.h"
#include "sampler/src/sys/korvel_sys.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

float peak_of(const short* data, unsigned int first, unsigned int last)
{
    int peak = 0;
    for (unsigned int i = first; i <= last; ++i) {
        peak = std::max(peak, std::abs(static_cast<int>(data[i])));
    }
    return static_cast<float>(peak) / 32768.0f;
}

korvel_sample_t* set_up(korvel_sample_t* sample)
{
    if (sample == nullptr) {
        korvel_log(KORVEL_ERR, "Out of memory");
        return nullptr;
    }
    sample->tsource = KORVEL_SAMPLE_ORIGIN;
    sample->uid = ~0u;
    sample->valid = 1;
    return sample;
}

} // namespace

korvel_sample_t* new_korvel_sample_in(korvel_bank_arena& arena)
{
    return set_up(arena.make<korvel_sample_t>());
}

extern "C" {

korvel_sample_t* new_korvel_sample(void)
{
    return set_up(new (std::nothrow) korvel_sample_t{});
}

int delete_korvel_sample(korvel_sample_t* sample)
{
    if (sample == nullptr) {
        return 0;
    }
    std::free(sample->subpath);
    if (sample->tsource == KORVEL_SAMPLE_FILE) {
        std::free(sample->data);
    }
    korvel_bank_record_delete(sample);
    return 0;
}

int korvel_sample_in_rom(const korvel_sample_t* sample)
{
    return sample->type & KORVEL_SAMPLE_ROM;
}

int korvel_sample_can_play(const korvel_sample_t* sample)
{
    return sample->valid && sample->data != nullptr && !korvel_sample_in_rom(sample);
}

void korvel_sample_set_name(korvel_sample_t* sample, const char* name)
{
    std::strncpy(sample->name_buf, name, sizeof sample->name_buf - 1);
    sample->name_buf[sizeof sample->name_buf - 1] = '\0';
    sample->name = sample->name_buf;
}

int korvel_voice_optimize_sample(korvel_sample_t* sample)
{
    sample->peaks_valid = 0;
    if (sample->valid == 0 || sample->data == nullptr || sample->pstart > sample->pend) {
        return 0;
    }
    sample->peak = peak_of(sample->data, sample->pstart, sample->pend);
    const unsigned int loop_first = std::max(sample->lstart, sample->pstart);
    // Four-point interpolation reads two points past the loop's end.
    const unsigned int loop_last = std::min(sample->lend + 2, sample->pend);
    sample->loop_peak = loop_first <= loop_last ? peak_of(sample->data, loop_first, loop_last) : sample->peak;
    const unsigned int tail_first = std::max(sample->lend, sample->pstart);
    sample->tail_peak = tail_first <= sample->pend ? peak_of(sample->data, tail_first, sample->pend) : 0.0f;
    sample->peaks_valid = 1;
    return 0;
}

} // extern "C"
