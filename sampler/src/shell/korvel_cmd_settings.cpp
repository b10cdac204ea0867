#include "sampler/src/shell/korvel_cmd_settings.h"

#include <cstring>

#include "sampler/src/shell/korvel_cmd_args.h"
#include "sampler/src/synth/korvel_synth.h"

namespace {

enum SettingType { kNumber = 0, kInteger = 1, kString = 2, kNode = 3 };

korvel_synth_t* synthOf(void* data) { return static_cast<korvel_synth_t*>(data); }

const char* textOrEmpty(const char* text) { return text != nullptr ? text : ""; }

struct OptionList {
  korvel_ostream_t out;
  bool first;
};

void printOption(void* data, const char* /*name*/, const char* option) {
  auto* list = static_cast<OptionList*>(data);
  korvel_ostream_printf(list->out, "%s%s", list->first ? "" : ", ", option);
  list->first = false;
}

struct SettingsListing {
  korvel_settings_t* settings;
  korvel_ostream_t out;
  int width;
};

void measureName(void* data, const char* name, int /*type*/) {
  auto* listing = static_cast<SettingsListing*>(data);
  int length = static_cast<int>(std::strlen(name));
  if (length > listing->width) listing->width = length;
}

void printSetting(void* data, const char* name, int type) {
  auto* listing = static_cast<SettingsListing*>(data);
  korvel_ostream_printf(listing->out, "%-*s   ", listing->width, name);
  if (type == kString) {
    const char* value = nullptr;
    korvel_settings_getstr(listing->settings, name, &value);
    korvel_ostream_printf(listing->out, "%s\n", textOrEmpty(value));
  } else if (type == kInteger) {
    int value = 0;
    korvel_settings_getint(listing->settings, name, &value);
    korvel_ostream_printf(listing->out, "%d\n", value);
  } else if (type == kNumber) {
    double value = 0.0;
    korvel_settings_getnum(listing->settings, name, &value);
    korvel_ostream_printf(listing->out, "%.3f\n", value);
  }
}

void printRealtime(korvel_settings_t* settings, const char* name, korvel_ostream_t out) {
  korvel_ostream_printf(out, "Real-time:     %s\n", korvel_settings_is_realtime(settings, name) ? "yes" : "no");
}

}  // namespace

extern "C" {

int korvel_handle_set(void* data, int ac, char** av, korvel_ostream_t out) {
  if (ac < 2) return KORVEL_CMD_REFUSE(out, "set: too few arguments.\n");
  korvel_synth_t* synth = synthOf(data);
  int stored = 0;
  if (!korvel_is_number(av[1])) {
    stored = korvel_synth_setstr(synth, av[0], av[1]);
  } else if (std::strchr(av[1], '.') != nullptr) {
    stored = korvel_synth_setnum(synth, av[0], korvel_cmd_atof(av[1]));
  } else {
    stored = korvel_synth_setint(synth, av[0], korvel_cmd_atoi(av[1]));
  }
  if (!stored) return KORVEL_CMD_REFUSE(out, "set: failed to set '%s'.\n", av[0]);
  return 0;
}

int korvel_handle_get(void* data, int ac, char** av, korvel_ostream_t out) {
  if (ac < 1) return KORVEL_CMD_REFUSE(out, "get: too few arguments.\n");
  korvel_settings_t* settings = korvel_synth_get_settings(synthOf(data));
  const char* name = av[0];
  switch (korvel_settings_get_type(settings, name)) {
    case kNumber: {
      double value = 0.0;
      korvel_settings_getnum(settings, name, &value);
      korvel_ostream_printf(out, "%.3f", value);
      return 0;
    }
    case kInteger: {
      int value = 0;
      korvel_settings_getint(settings, name, &value);
      korvel_ostream_printf(out, "%d", value);
      return 0;
    }
    case kString: {
      const char* value = nullptr;
      korvel_settings_getstr(settings, name, &value);
      korvel_ostream_printf(out, "%s", textOrEmpty(value));
      return 0;
    }
    case kNode:
      korvel_ostream_printf(out, "%s is a node", name);
      return 0;
    default:
      return KORVEL_CMD_REFUSE(out, "get: no such settings '%s'.", name);
  }
}

int korvel_handle_info(void* data, int ac, char** av, korvel_ostream_t out) {
  if (ac < 1) return KORVEL_CMD_REFUSE(out, "info: too few arguments.\n");
  korvel_settings_t* settings = korvel_synth_get_settings(synthOf(data));
  const char* name = av[0];
  switch (korvel_settings_get_type(settings, name)) {
    case kNumber: {
      double value = 0.0;
      double min = 0.0;
      double max = 0.0;
      korvel_settings_getnum(settings, name, &value);
      korvel_settings_getnum_range(settings, name, &min, &max);
      korvel_ostream_printf(out, "%s:\n", name);
      korvel_ostream_printf(out, "Type:          number\n");
      korvel_ostream_printf(out, "Value:         %.3f\n", value);
      korvel_ostream_printf(out, "Minimum value: %.3f\n", min);
      korvel_ostream_printf(out, "Maximum value: %.3f\n", max);
      korvel_ostream_printf(out, "Default value: %.3f\n", korvel_settings_getnum_default(settings, name));
      printRealtime(settings, name, out);
      return 0;
    }
    case kInteger: {
      int value = 0;
      int min = 0;
      int max = 0;
      korvel_settings_getint(settings, name, &value);
      korvel_settings_getint_range(settings, name, &min, &max);
      korvel_ostream_printf(out, "%s:\n", name);
      korvel_ostream_printf(out, "Type:          integer\n");
      korvel_ostream_printf(out, "Value:         %d\n", value);
      korvel_ostream_printf(out, "Minimum value: %d\n", min);
      korvel_ostream_printf(out, "Maximum value: %d\n", max);
      korvel_ostream_printf(out, "Default value: %d\n", korvel_settings_getint_default(settings, name));
      printRealtime(settings, name, out);
      return 0;
    }
    case kString: {
      const char* value = nullptr;
      korvel_settings_getstr(settings, name, &value);
      korvel_ostream_printf(out, "%s:\n", name);
      korvel_ostream_printf(out, "Type:          string\n");
      korvel_ostream_printf(out, "Value:         %s\n", textOrEmpty(value));
      korvel_ostream_printf(out, "Default value: %s\n", textOrEmpty(korvel_settings_getstr_default(settings, name)));
      korvel_ostream_printf(out, "Options:       ");
      OptionList options{out, true};
      korvel_settings_foreach_option(settings, name, &options, printOption);
      korvel_ostream_printf(out, "\n");
      printRealtime(settings, name, out);
      return 0;
    }
    case kNode:
      korvel_ostream_printf(out, "%s is a node", name);
      return 0;
    default:
      return KORVEL_CMD_REFUSE(out, "info: no such settings '%s'.", name);
  }
}

int korvel_handle_settings(void* data, int /*ac*/, char** /*av*/, korvel_ostream_t out) {
  SettingsListing listing{korvel_synth_get_settings(synthOf(data)), out, 0};
  korvel_settings_foreach(listing.settings, &listing, measureName);
  korvel_settings_foreach(listing.settings, &listing, printSetting);
  return 0;
}

}  // extern "C"
