#include "sampler/src/sys/korvel_driver_settings.h"

extern "C" {

void korvel_audio_driver_settings(korvel_settings_t* settings) {
  korvel_settings_register_str(settings, "audio.sample-format", "32bits", 0, nullptr, nullptr);
  korvel_settings_add_option(settings, "audio.sample-format", "32bits");
  korvel_settings_add_option(settings, "audio.sample-format", "float");
  korvel_settings_register_int(settings, "audio.output-channels", 2, 2, 32, 0, nullptr, nullptr);
  korvel_settings_register_int(settings, "audio.input-channels", 0, 0, 2, 0, nullptr, nullptr);
  korvel_settings_register_int(settings, "audio.period-size", 64, 64, 8192, 0, nullptr, nullptr);
  korvel_settings_register_int(settings, "audio.periods", 16, 2, 64, 0, nullptr, nullptr);
  korvel_settings_register_str(settings, "audio.driver", "iosaudio", 0, nullptr, nullptr);
  korvel_settings_add_option(settings, "audio.driver", "iosaudio");
}

void korvel_midi_driver_settings(korvel_settings_t* settings) {
  korvel_settings_register_str(settings, "midi.driver", "iosmidi", 0, nullptr, nullptr);
  korvel_settings_add_option(settings, "midi.driver", "iosmidi");
}

}  // extern "C"
