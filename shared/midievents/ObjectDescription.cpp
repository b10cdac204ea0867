#include "shared/midievents/ObjectDescription.h"

#include <cstdio>

std::string objectDescription(std::string_view className, const void* object) {
  if (object == nullptr) return "nil";
  char address[32];
  std::snprintf(address, sizeof address, "%p", object);
  return "<" + std::string(className) + ": " + address + ">";
}
