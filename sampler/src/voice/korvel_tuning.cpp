#include "sampler/src/voice/korvel_tuning.h"

#include "sampler/src/sys/korvel_sys.h"

#include <cstdlib>
#include <cstring>
#include <new>

extern "C" {

korvel_tuning_t* new_korvel_tuning(const char* name, int bank, int prog)
{
    auto* tuning = new (std::nothrow) korvel_tuning_t{};
    if (tuning == nullptr) {
        korvel_log(KORVEL_ERR, "Out of memory");
        return nullptr;
    }
    if (korvel_tuning_set_name(tuning, name) != 0) {
        delete tuning;
        return nullptr;
    }
    tuning->bank = bank;
    tuning->prog = prog;
    for (int key = 0; key < 128; key++) {
        tuning->pitch[key] = 100.0 * key;
    }
    return tuning;
}

void delete_korvel_tuning(korvel_tuning_t* tuning)
{
    if (tuning == nullptr) {
        return;
    }
    std::free(tuning->name);
    delete tuning;
}

int korvel_tuning_set_name(korvel_tuning_t* tuning, const char* name)
{
    std::free(tuning->name);
    tuning->name = nullptr;
    if (name != nullptr) {
        tuning->name = strdup(name);
        if (tuning->name == nullptr) {
            return korvel_log(KORVEL_ERR, "Out of memory");
        }
    }
    return 0;
}

const char* korvel_tuning_get_name(const korvel_tuning_t* tuning)
{
    return tuning->name;
}

void korvel_tuning_set_key(korvel_tuning_t* tuning, int key, double pitch)
{
    korvel_tuning_set_pitch(tuning, key, pitch);
}

void korvel_tuning_set_pitch(korvel_tuning_t* tuning, int key, double pitch)
{
    if (key >= 0 && key < 128) {
        tuning->pitch[key] = pitch;
    }
}

void korvel_tuning_set_octave(korvel_tuning_t* tuning, const double* offsets)
{
    for (int key = 0; key < 128; key++) {
        tuning->pitch[key] = 100.0 * key + offsets[key % 12];
    }
}

void korvel_tuning_set_all(korvel_tuning_t* tuning, const double* pitch)
{
    std::memcpy(tuning->pitch, pitch, sizeof tuning->pitch);
}

} // extern "C"
