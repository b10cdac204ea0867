// The diagnostic text of an object reference, as the dumps print it: "<ClassName: 0x...>", or "nil" for none.
// Any thread except the render thread (allocates).
#pragma once

#include <string>
#include <string_view>

std::string objectDescription(std::string_view className, const void* object);
