#include "sampler/src/sys/korvel_synth_settings.h"

extern "C" void korvel_synth_settings(korvel_settings_t* settings) {
  korvel_settings_register_str(settings, "synth.verbose", "no", 0, nullptr, nullptr);
  korvel_settings_register_str(settings, "synth.dump", "no", 0, nullptr, nullptr);
  korvel_settings_register_str(settings, "synth.reverb.active", "yes", 0, nullptr, nullptr);
  korvel_settings_register_str(settings, "synth.chorus.active", "yes", 0, nullptr, nullptr);
  korvel_settings_register_str(settings, "synth.ladspa.active", "no", 0, nullptr, nullptr);
  korvel_settings_register_int(settings, "synth.polyphony", 1024, 16, 4096, 0, nullptr, nullptr);
  korvel_settings_register_int(settings, "synth.midi-channels", 16, 16, 16, 0, nullptr, nullptr);
  korvel_settings_register_num(settings, "synth.gain", 0.5, 0.0, 10.0, 0, nullptr, nullptr);
  korvel_settings_register_int(settings, "synth.audio-channels", 16, 1, 16, 0, nullptr, nullptr);
  korvel_settings_register_int(settings, "synth.audio-groups", 16, 1, 16, 0, nullptr, nullptr);
  korvel_settings_register_int(settings, "synth.effects-channels", 6, 2, 6, 0, nullptr, nullptr);
  korvel_settings_register_num(settings, "synth.sample-rate", 48000.0, 24000.0, 96000.0, 0, nullptr, nullptr);
}
