// The demo MIDI files of the resources folder: where each piece goes and how it is written.
//
// Thread contract: any thread except the render thread; writeDemoFile does file I/O.
#pragma once

#include "tools/midigen/Composition.h"

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace midigen {

struct DemoFile {
    std::string_view path; // relative to the resources folder
    Composition (*compose)();
};

// "MIDI/Selection/..." (four pieces), "MIDI/Test/..." (three) and "default.mid".
std::span<const DemoFile> demoFiles();

// Composes the piece and writes it as a standard MIDI file under folder, making the sub-folders it needs and
// replacing an older file. Empty on success, otherwise what failed.
std::string writeDemoFile(const DemoFile& file, const std::filesystem::path& folder);

} // namespace midigen
