// Process-wide counters for the unique identifiers of samples, instruments and presets, shared by every bank and
// every instance and never reset, and the running numbers the XML sound-bank handlers use.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

// Each returns the next identifier; the first is 1. Control thread (the counters are not locked).
unsigned int generate_sample_uid(void);
unsigned int generate_instrument_uid(void);
unsigned int generate_preset_uid(void);
// Increments and returns the process-wide instrument serial.
unsigned int generate_instrument_serial(void);

// Running numbers of the XML handlers, each starting at 1.
extern int current_preset_id;
extern int current_instrument_id;
extern int current_sample_id;
extern int current_pzone_id;
extern int current_izone_id;
extern int current_pgenerator_id;
extern int current_igenerator_id;
extern int current_pmodulator_id;
extern int current_imodulator_id;

#ifdef __cplusplus
}
#endif
