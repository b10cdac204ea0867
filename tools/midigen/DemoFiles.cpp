#include "tools/midigen/DemoFiles.h"

#include "platform/musicsequence/MusicSequenceFile.h"
#include "tools/midigen/Pieces.h"

#include <array>
#include <system_error>

namespace midigen {

namespace {

constexpr std::array<DemoFile, 8> kFiles{{
    {"MIDI/Selection/Morning Walk.mid", morningWalk},
    {"MIDI/Selection/Harbour Lights.mid", harbourLights},
    {"MIDI/Selection/Copper Engine.mid", copperEngine},
    {"MIDI/Selection/Slow River.mid", slowRiver},
    {"MIDI/Test/Program Tour.mid", programTour},
    {"MIDI/Test/Drum Keys.mid", drumKeys},
    {"MIDI/Test/All Channels.mid", allChannels},
    {"default.mid", gardenWaltz},
}};

constexpr std::int16_t kTicksPerBeat = 480;

} // namespace

std::span<const DemoFile> demoFiles()
{
    return kFiles;
}

std::string writeDemoFile(const DemoFile& file, const std::filesystem::path& folder)
{
    std::filesystem::path target = folder / file.path;
    std::error_code error;
    std::filesystem::create_directories(target.parent_path(), error);
    if (error) {
        return "cannot create " + target.parent_path().string() + ": " + error.message();
    }
    Composition piece = file.compose();
    if (piece.status() != noErr) {
        return "cannot compose " + target.string() + ": status " + std::to_string(piece.status());
    }
    OSStatus status = MusicSequenceFileCreate(piece.sequence(), target, kMusicSequenceFile_MIDIType,
                                              kMusicSequenceFileFlags_EraseFile, kTicksPerBeat);
    if (status != noErr) {
        return "cannot write " + target.string() + ": status " + std::to_string(status);
    }
    return {};
}

} // namespace midigen
