#include "sampler/src/sys/korvel_settings.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "sampler/src/sys/korvel_driver_settings.h"
#include "sampler/src/sys/korvel_list.h"
#include "sampler/src/sys/korvel_shell_settings.h"
#include "sampler/src/sys/korvel_strtok.h"
#include "sampler/src/sys/korvel_synth_settings.h"
#include "sampler/src/sys/korvel_sys.h"

struct korvel_num_setting_t {
  double value;
  double def;
  double min;
  double max;
  int hints;
  korvel_num_update_t update;
  void* data;
};

struct korvel_int_setting_t {
  int value;
  int def;
  int min;
  int max;
  int hints;
  korvel_int_update_t update;
  void* data;
};

struct korvel_str_setting_t {
  char* value;
  char* def;
  int hints;
  korvel_list_t* options;  // owned texts, in the order added
  korvel_str_update_t update;
  void* data;
};

namespace {

constexpr int kMaxNameLength = 1023;
constexpr int kMaxNameComponents = 16;

int outOfMemory() {
  korvel_log(KORVEL_ERR, "Out of memory");
  return 0;
}

// A copy of the text, none for none; `ok` turns false when a copy cannot be made.
char* copyText(const char* text, bool& ok) {
  if (!text) return nullptr;
  char* copy = strdup(text);
  if (!copy) ok = false;
  return copy;
}

void deleteStrSetting(korvel_str_setting_t* setting) {
  std::free(setting->value);
  std::free(setting->def);
  for (korvel_list_t* cell = setting->options; cell; cell = cell->next) std::free(cell->data);
  delete_korvel_list(setting->options);
  delete setting;
}

void deleteSettingValue(void* value, int type) {
  switch (type) {
    case KORVEL_NUM_TYPE: delete static_cast<korvel_num_setting_t*>(value); break;
    case KORVEL_INT_TYPE: delete static_cast<korvel_int_setting_t*>(value); break;
    case KORVEL_STR_TYPE: deleteStrSetting(static_cast<korvel_str_setting_t*>(value)); break;
    case KORVEL_SET_TYPE: delete_korvel_hashtable(static_cast<korvel_hashtable_t*>(value)); break;
    default: break;
  }
}

// The components of a name, split in a buffer of their own.
struct SettingName {
  char buffer[kMaxNameLength + 1];
  char* parts[kMaxNameComponents];
  int count = 0;

  bool split(const char* name) {
    if (!name) return false;
    size_t length = std::strlen(name);
    if (length > static_cast<size_t>(kMaxNameLength)) return false;
    std::memcpy(buffer, name, length + 1);
    korvel_strtok_t tokenizer;
    korvel_strtok_set(&tokenizer, buffer, ".");
    while (char* part = korvel_strtok_next_token(&tokenizer)) {
      if (count == kMaxNameComponents) return false;
      parts[count++] = part;
    }
    return count > 0;
  }
};

struct Found {
  int type = KORVEL_NO_TYPE;
  void* value = nullptr;
};

Found lookup(korvel_settings_t* settings, const char* name) {
  SettingName parts;
  if (!settings || !parts.split(name)) return {};
  korvel_hashtable_t* table = settings;
  Found found;
  for (int i = 0; i < parts.count; ++i) {
    if (!table || !korvel_hashtable_lookup(table, parts.parts[i], &found.value, &found.type)) return {};
    table = found.type == KORVEL_SET_TYPE ? static_cast<korvel_hashtable_t*>(found.value) : nullptr;
  }
  return found;
}

template <typename Record>
Record* lookupAs(korvel_settings_t* settings, const char* name, int type) {
  Found found = lookup(settings, name);
  return found.type == type ? static_cast<Record*>(found.value) : nullptr;
}

// Stores a new value under the name, creating the nodes on the way. On failure the value stays the caller's.
bool store(korvel_settings_t* settings, const char* name, int type, void* value) {
  SettingName parts;
  if (!settings || !parts.split(name)) return false;
  korvel_hashtable_t* table = settings;
  for (int i = 0; i < parts.count - 1; ++i) {
    void* next = nullptr;
    int nextType = KORVEL_NO_TYPE;
    if (korvel_hashtable_lookup(table, parts.parts[i], &next, &nextType)) {
      if (nextType != KORVEL_SET_TYPE) {
        korvel_log(KORVEL_WARN, "'%s' is not a node", parts.parts[i]);
        return false;
      }
      table = static_cast<korvel_hashtable_t*>(next);
      continue;
    }
    korvel_hashtable_t* node = new_korvel_hashtable(deleteSettingValue);
    if (!node) return false;
    if (korvel_hashtable_insert(table, parts.parts[i], node, KORVEL_SET_TYPE) != 0) {
      delete_korvel_hashtable(node);
      return false;
    }
    table = node;
  }
  return korvel_hashtable_replace(table, parts.parts[parts.count - 1], value, type) == 0;
}

korvel_str_setting_t* newStrSetting(const char* value, const char* def) {
  auto* setting = new (std::nothrow) korvel_str_setting_t{};
  if (!setting) return nullptr;
  bool ok = true;
  setting->value = copyText(value, ok);
  setting->def = copyText(def, ok);
  if (!ok) {
    deleteStrSetting(setting);
    return nullptr;
  }
  return setting;
}

template <typename Record>
int storeNew(korvel_settings_t* settings, const char* name, int type, Record* setting) {
  if (!setting) return outOfMemory();
  if (store(settings, name, type, setting)) return 1;
  deleteSettingValue(setting, type);
  return 0;
}

template <typename T>
T clamp(T value, T min, T max) {
  if (value < min) return min;
  if (value > max) return max;
  return value;
}

struct ForeachWalk {
  void* data;
  korvel_settings_foreach_t func;
  char name[kMaxNameLength + 1];
};

void visitEntry(const char* key, void* value, int type, void* context) {
  auto& walk = *static_cast<ForeachWalk*>(context);
  size_t prefixLength = std::strlen(walk.name);
  size_t room = sizeof walk.name - prefixLength;
  std::snprintf(walk.name + prefixLength, room, prefixLength ? ".%s" : "%s", key);
  if (type == KORVEL_SET_TYPE)
    korvel_hashtable_foreach(static_cast<korvel_hashtable_t*>(value), visitEntry, &walk);
  else
    walk.func(walk.data, walk.name, type);
  walk.name[prefixLength] = '\0';
}

}  // namespace

extern "C" {

korvel_settings_t* new_korvel_settings(void) {
  korvel_settings_t* settings = new_korvel_hashtable(deleteSettingValue);
  if (!settings) return nullptr;
  korvel_synth_settings(settings);
  korvel_shell_settings(settings);
  korvel_audio_driver_settings(settings);
  korvel_midi_driver_settings(settings);
  return settings;
}

void delete_korvel_settings(korvel_settings_t* settings) { delete_korvel_hashtable(settings); }

int korvel_settings_register_str(korvel_settings_t* settings, const char* name, const char* def, int hints,
                                 korvel_str_update_t fun, void* data) {
  Found found = lookup(settings, name);
  if (found.type == KORVEL_NO_TYPE) {
    korvel_str_setting_t* setting = newStrSetting(def, def);
    if (setting) {
      setting->hints = hints;
      setting->update = fun;
      setting->data = data;
    }
    return storeNew(settings, name, KORVEL_STR_TYPE, setting);
  }
  if (found.type != KORVEL_STR_TYPE) {
    korvel_log(KORVEL_WARN, "Type mismatch on setting '%s'", name);
    return 1;
  }
  auto* setting = static_cast<korvel_str_setting_t*>(found.value);
  bool ok = true;
  char* copy = copyText(def, ok);
  if (!ok) return outOfMemory();
  std::free(setting->def);
  setting->def = copy;
  setting->hints = hints;
  setting->update = fun;
  setting->data = data;
  return 1;
}

int korvel_settings_register_num(korvel_settings_t* settings, const char* name, double def, double min, double max,
                                 int hints, korvel_num_update_t fun, void* data) {
  Found found = lookup(settings, name);
  if (found.type == KORVEL_NO_TYPE)
    return storeNew(settings, name, KORVEL_NUM_TYPE,
                    new (std::nothrow) korvel_num_setting_t{def, def, min, max, hints, fun, data});
  if (found.type != KORVEL_NUM_TYPE) {
    korvel_log(KORVEL_WARN, "Type mismatch on setting '%s'", name);
    return 0;
  }
  auto* setting = static_cast<korvel_num_setting_t*>(found.value);
  *setting = {setting->value, def, min, max, hints, fun, data};
  return 1;
}

int korvel_settings_register_int(korvel_settings_t* settings, const char* name, int def, int min, int max,
                                 int hints, korvel_int_update_t fun, void* data) {
  Found found = lookup(settings, name);
  if (found.type == KORVEL_NO_TYPE)
    return storeNew(settings, name, KORVEL_INT_TYPE,
                    new (std::nothrow) korvel_int_setting_t{def, def, min, max, hints, fun, data});
  if (found.type != KORVEL_INT_TYPE) {
    korvel_log(KORVEL_WARN, "Type mismatch on setting '%s'", name);
    return 0;
  }
  auto* setting = static_cast<korvel_int_setting_t*>(found.value);
  *setting = {setting->value, def, min, max, hints, fun, data};
  return 1;
}

int korvel_settings_get_type(korvel_settings_t* settings, const char* name) { return lookup(settings, name).type; }

int korvel_settings_get_hints(korvel_settings_t* settings, const char* name) {
  Found found = lookup(settings, name);
  if (found.type == KORVEL_NUM_TYPE) return static_cast<korvel_num_setting_t*>(found.value)->hints;
  if (found.type == KORVEL_STR_TYPE) return static_cast<korvel_str_setting_t*>(found.value)->hints;
  return 0;
}

int korvel_settings_is_realtime(korvel_settings_t* settings, const char* name) {
  Found found = lookup(settings, name);
  if (found.type == KORVEL_NUM_TYPE) return static_cast<korvel_num_setting_t*>(found.value)->update ? 1 : 0;
  if (found.type == KORVEL_STR_TYPE) return static_cast<korvel_str_setting_t*>(found.value)->update ? 1 : 0;
  return 0;
}

int korvel_settings_setstr(korvel_settings_t* settings, const char* name, const char* str) {
  Found found = lookup(settings, name);
  if (found.type == KORVEL_NO_TYPE) return storeNew(settings, name, KORVEL_STR_TYPE, newStrSetting(str, nullptr));
  if (found.type != KORVEL_STR_TYPE) return 0;
  auto* setting = static_cast<korvel_str_setting_t*>(found.value);
  bool ok = true;
  char* copy = copyText(str, ok);
  if (!ok) return outOfMemory();
  std::free(setting->value);
  setting->value = copy;
  if (setting->update) setting->update(setting->data, name, setting->value);
  return 1;
}

int korvel_settings_getstr(korvel_settings_t* settings, const char* name, const char** str) {
  auto* setting = lookupAs<korvel_str_setting_t>(settings, name, KORVEL_STR_TYPE);
  if (str) *str = setting ? setting->value : nullptr;
  return setting ? 1 : 0;
}

int korvel_settings_str_equal(korvel_settings_t* settings, const char* name, const char* str) {
  auto* setting = lookupAs<korvel_str_setting_t>(settings, name, KORVEL_STR_TYPE);
  return setting && setting->value && str && std::strcmp(setting->value, str) == 0 ? 1 : 0;
}

const char* korvel_settings_getstr_default(korvel_settings_t* settings, const char* name) {
  auto* setting = lookupAs<korvel_str_setting_t>(settings, name, KORVEL_STR_TYPE);
  return setting ? setting->def : nullptr;
}

int korvel_settings_add_option(korvel_settings_t* settings, const char* name, const char* option) {
  auto* setting = lookupAs<korvel_str_setting_t>(settings, name, KORVEL_STR_TYPE);
  if (!setting || !option) return 0;
  char* copy = strdup(option);
  korvel_list_t* options = copy ? korvel_list_append(setting->options, copy) : nullptr;
  if (!options || korvel_list_last(options)->data != copy) {
    std::free(copy);
    return outOfMemory();
  }
  setting->options = options;
  return 1;
}

int korvel_settings_remove_option(korvel_settings_t* settings, const char* name, const char* option) {
  auto* setting = lookupAs<korvel_str_setting_t>(settings, name, KORVEL_STR_TYPE);
  if (!setting || !option) return 0;
  for (korvel_list_t* cell = setting->options; cell; cell = cell->next) {
    if (std::strcmp(static_cast<char*>(cell->data), option) == 0) {
      setting->options = korvel_list_remove_link(setting->options, cell);
      std::free(cell->data);
      delete1_korvel_list(cell);
      return 1;
    }
  }
  return 0;
}

int korvel_settings_setnum(korvel_settings_t* settings, const char* name, double val) {
  if (std::isnan(val)) return 0;
  Found found = lookup(settings, name);
  if (found.type == KORVEL_NO_TYPE)
    return storeNew(settings, name, KORVEL_NUM_TYPE,
                    new (std::nothrow) korvel_num_setting_t{val, 0.0, -1e10, 1e10, 0, nullptr, nullptr});
  if (found.type != KORVEL_NUM_TYPE) return 0;
  auto* setting = static_cast<korvel_num_setting_t*>(found.value);
  setting->value = clamp(val, setting->min, setting->max);
  if (setting->update) setting->update(setting->data, name, setting->value);
  return 1;
}

int korvel_settings_getnum(korvel_settings_t* settings, const char* name, double* val) {
  auto* setting = lookupAs<korvel_num_setting_t>(settings, name, KORVEL_NUM_TYPE);
  if (!setting) return 0;
  if (val) *val = setting->value;
  return 1;
}

int korvel_settings_getnum_range(korvel_settings_t* settings, const char* name, double* min, double* max) {
  auto* setting = lookupAs<korvel_num_setting_t>(settings, name, KORVEL_NUM_TYPE);
  if (!setting) return 0;
  if (min) *min = setting->min;
  if (max) *max = setting->max;
  return 1;
}

double korvel_settings_getnum_default(korvel_settings_t* settings, const char* name) {
  auto* setting = lookupAs<korvel_num_setting_t>(settings, name, KORVEL_NUM_TYPE);
  return setting ? setting->def : 0.0;
}

int korvel_settings_setint(korvel_settings_t* settings, const char* name, int val) {
  Found found = lookup(settings, name);
  if (found.type == KORVEL_NO_TYPE)
    return storeNew(settings, name, KORVEL_INT_TYPE,
                    new (std::nothrow) korvel_int_setting_t{val, 0, -2147483647 - 1, 2147483647, 0, nullptr, nullptr});
  if (found.type != KORVEL_INT_TYPE) return 0;
  auto* setting = static_cast<korvel_int_setting_t*>(found.value);
  setting->value = clamp(val, setting->min, setting->max);
  if (setting->update) setting->update(setting->data, name, setting->value);
  return 1;
}

int korvel_settings_getint(korvel_settings_t* settings, const char* name, int* val) {
  auto* setting = lookupAs<korvel_int_setting_t>(settings, name, KORVEL_INT_TYPE);
  if (!setting) return 0;
  if (val) *val = setting->value;
  return 1;
}

int korvel_settings_getint_range(korvel_settings_t* settings, const char* name, int* min, int* max) {
  auto* setting = lookupAs<korvel_int_setting_t>(settings, name, KORVEL_INT_TYPE);
  if (!setting) return 0;
  if (min) *min = setting->min;
  if (max) *max = setting->max;
  return 1;
}

int korvel_settings_getint_default(korvel_settings_t* settings, const char* name) {
  auto* setting = lookupAs<korvel_int_setting_t>(settings, name, KORVEL_INT_TYPE);
  return setting ? setting->def : 0;
}

void korvel_settings_foreach_option(korvel_settings_t* settings, const char* name, void* data,
                                    korvel_settings_foreach_option_t func) {
  auto* setting = lookupAs<korvel_str_setting_t>(settings, name, KORVEL_STR_TYPE);
  if (!setting || !func) return;
  for (korvel_list_t* cell = setting->options; cell; cell = cell->next)
    func(data, name, static_cast<const char*>(cell->data));
}

void korvel_settings_foreach(korvel_settings_t* settings, void* data, korvel_settings_foreach_t func) {
  if (!settings || !func) return;
  ForeachWalk walk{data, func, {}};
  korvel_hashtable_foreach(settings, visitEntry, &walk);
}

}  // extern "C"
