// Texts the song-tree nodes start with.
#pragma once

#include <string_view>

inline constexpr std::string_view kDefaultCopyright = "(c) Orvo Tunedeck";
