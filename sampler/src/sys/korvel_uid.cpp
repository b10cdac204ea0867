#include "sampler/src/sys/korvel_uid.h"

namespace {

unsigned int sample_uid;
unsigned int instrument_uid;
unsigned int preset_uid;
unsigned int instrument_serial;

} // namespace

extern "C" {

int current_preset_id = 1;
int current_instrument_id = 1;
int current_sample_id = 1;
int current_pzone_id = 1;
int current_izone_id = 1;
int current_pgenerator_id = 1;
int current_igenerator_id = 1;
int current_pmodulator_id = 1;
int current_imodulator_id = 1;

unsigned int generate_sample_uid(void)
{
    return ++sample_uid;
}

unsigned int generate_instrument_uid(void)
{
    return ++instrument_uid;
}

unsigned int generate_preset_uid(void)
{
    return ++preset_uid;
}

unsigned int generate_instrument_serial(void)
{
    return ++instrument_serial;
}

} // extern "C"
