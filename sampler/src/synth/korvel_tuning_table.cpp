#include "sampler/src/synth/korvel_tuning_table.h"

#include "sampler/src/sys/korvel_sys.h"

#include <cstring>
#include <new>

namespace {

constexpr int TABLE_SIZE = 128;

int check_numbers(int bank, int prog)
{
    if (bank < 0 || bank >= TABLE_SIZE) {
        return korvel_log(KORVEL_WARN, "Bank number out of range");
    }
    if (prog < 0 || prog >= TABLE_SIZE) {
        return korvel_log(KORVEL_WARN, "Program number out of range");
    }
    return 0;
}

korvel_tuning_t* find_or_create(korvel_tuning_table_t* table, int bank, int prog, const char* name)
{
    if (table->bank == nullptr) {
        table->bank = new (std::nothrow) korvel_tuning_t** [TABLE_SIZE] {};
        if (table->bank == nullptr) {
            korvel_log(KORVEL_ERR, "Out of memory");
            return nullptr;
        }
    }
    if (table->bank[bank] == nullptr) {
        table->bank[bank] = new (std::nothrow) korvel_tuning_t* [TABLE_SIZE] {};
        if (table->bank[bank] == nullptr) {
            korvel_log(KORVEL_ERR, "Out of memory");
            return nullptr;
        }
    }
    korvel_tuning_t*& tuning = table->bank[bank][prog];
    if (tuning == nullptr) {
        tuning = new_korvel_tuning(name, bank, prog);
        return tuning;
    }
    const char* old = korvel_tuning_get_name(tuning);
    if (old == nullptr || name == nullptr || std::strcmp(old, name) != 0) {
        if (korvel_tuning_set_name(tuning, name) != 0) {
            return nullptr;
        }
    }
    return tuning;
}

korvel_tuning_t* existing(const korvel_tuning_table_t* table, int bank, int prog)
{
    korvel_tuning_t* tuning = korvel_tuning_table_get(table, bank, prog);
    if (tuning == nullptr) {
        korvel_log(KORVEL_WARN, "No tuning at bank %d, prog %d", bank, prog);
    }
    return tuning;
}

} // namespace

extern "C" {

void korvel_tuning_table_clear(korvel_tuning_table_t* table)
{
    if (table->bank != nullptr) {
        for (int b = 0; b < TABLE_SIZE; b++) {
            if (table->bank[b] != nullptr) {
                for (int p = 0; p < TABLE_SIZE; p++) {
                    delete_korvel_tuning(table->bank[b][p]);
                }
                delete[] table->bank[b];
            }
        }
        delete[] table->bank;
    }
    table->bank = nullptr;
    table->cursor = nullptr;
}

korvel_tuning_t* korvel_tuning_table_get(const korvel_tuning_table_t* table, int bank, int prog)
{
    if (table->bank == nullptr || bank < 0 || bank >= TABLE_SIZE || prog < 0 || prog >= TABLE_SIZE ||
        table->bank[bank] == nullptr) {
        return nullptr;
    }
    return table->bank[bank][prog];
}

int korvel_tuning_table_create_key_tuning(korvel_tuning_table_t* table, int bank, int prog, const char* name,
                                          const double* pitch)
{
    if (check_numbers(bank, prog) != 0) {
        return -1;
    }
    korvel_tuning_t* tuning = find_or_create(table, bank, prog, name);
    if (tuning == nullptr) {
        return -1;
    }
    if (pitch != nullptr) {
        korvel_tuning_set_all(tuning, pitch);
    }
    return 0;
}

int korvel_tuning_table_create_octave_tuning(korvel_tuning_table_t* table, int bank, int prog, const char* name,
                                             const double* pitch)
{
    if (check_numbers(bank, prog) != 0) {
        return -1;
    }
    korvel_tuning_t* tuning = find_or_create(table, bank, prog, name);
    if (tuning == nullptr) {
        return -1;
    }
    korvel_tuning_set_octave(tuning, pitch);
    return 0;
}

int korvel_tuning_table_tune_notes(korvel_tuning_table_t* table, int bank, int prog, int len, const int* keys,
                                   const double* pitch)
{
    if (check_numbers(bank, prog) != 0) {
        return -1;
    }
    korvel_tuning_t* tuning = existing(table, bank, prog);
    if (tuning == nullptr) {
        return -1;
    }
    for (int i = 0; i < len; i++) {
        korvel_tuning_set_pitch(tuning, keys[i], pitch[i]);
    }
    return 0;
}

void korvel_tuning_table_iteration_start(korvel_tuning_table_t* table)
{
    table->cursor = nullptr;
}

int korvel_tuning_table_iteration_next(korvel_tuning_table_t* table, int* bank, int* prog)
{
    if (table->bank == nullptr) {
        return 0;
    }
    int b = 0;
    int p = 0;
    if (table->cursor != nullptr) {
        b = table->cursor->bank;
        p = table->cursor->prog + 1;
        if (p >= TABLE_SIZE) {
            p = 0;
            b++;
        }
    }
    for (; b < TABLE_SIZE; b++, p = 0) {
        if (table->bank[b] == nullptr) {
            continue;
        }
        for (; p < TABLE_SIZE; p++) {
            if (table->bank[b][p] != nullptr) {
                table->cursor = table->bank[b][p];
                *bank = b;
                *prog = p;
                return 1;
            }
        }
    }
    return 0;
}

int korvel_tuning_table_dump(const korvel_tuning_table_t* table, int bank, int prog, char* name, int len,
                             double* pitch)
{
    korvel_tuning_t* tuning = existing(table, bank, prog);
    if (tuning == nullptr) {
        return -1;
    }
    if (name != nullptr && len > 0) {
        const char* own = korvel_tuning_get_name(tuning);
        std::strncpy(name, own != nullptr ? own : "", static_cast<size_t>(len - 1));
        name[len - 1] = '\0';
    }
    if (pitch != nullptr) {
        std::memcpy(pitch, tuning->pitch, sizeof tuning->pitch);
    }
    return 0;
}

} // extern "C"
