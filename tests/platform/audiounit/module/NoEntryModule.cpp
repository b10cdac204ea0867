// A shared library without the module entry point: the registry must report it and go on.

extern "C" __attribute__((visibility("default"))) int tunedeck_not_an_audio_module() { return 1; }
