#include "sampler/src/bank/korvel_sfloader.h"

#include "sampler/src/bank/korvel_defsfont.h"
#include "sampler/src/bank/korvel_sf2_import.h"
#include "sampler/src/sys/korvel_sys.h"

#include <cstdio>
#include <new>

extern "C" {

korvel_sfloader_t* new_korvel_defsfloader(void)
{
    auto* loader = new (std::nothrow) korvel_sfloader_t{};
    if (loader == nullptr) {
        korvel_log(KORVEL_ERR, "Out of memory?");
        return nullptr;
    }
    loader->free = delete_korvel_defsfloader;
    loader->load = korvel_defsfloader_load;
    return loader;
}

int delete_korvel_defsfloader(korvel_sfloader_t* loader)
{
    delete loader;
    return 0;
}

korvel_sfont_t* korvel_defsfloader_load(korvel_sfloader_t*, const char* filename)
{
    korvel_defsfont_t* bank = new_korvel_defsfont();
    if (bank == nullptr) {
        korvel_log(KORVEL_ERR, "Out of memory?");
        return nullptr;
    }
    if (korvel_defsfont_load(bank, filename) != 0) {
        delete_korvel_defsfont(bank);
        return nullptr;
    }
    korvel_sfont_t* sfont = korvel_defsfont_new_sfont(bank);
    if (sfont == nullptr) {
        delete_korvel_defsfont(bank);
        return nullptr;
    }
    std::printf("Soundfont Synthesizer: Die Soundfontstrukturen wurden erstellt. \n");
    return sfont;
}

} // extern "C"
