#include "Orvo_Tunedeck/midi/MIDIStatusReport.h"

#include <array>
#include <utility>

#include "shared/globals/Print.h"

namespace {

struct StatusName {
    foundation::OSStatus status;
    std::string_view name;
};

constexpr std::array<StatusName, 52> kStatusNames{{
    {-10879, "kAudioUnitErr_InvalidProperty"},
    {-10878, "kAudioUnitErr_InvalidParameter"},
    {-10877, "kAudioUnitErr_InvalidElement"},
    {-10876, "kAudioUnitErr_NoConnection"},
    {-10875, "kAudioUnitErr_FailedInitialization"},
    {-10874, "kAudioUnitErr_TooManyFramesToProcess"},
    {-10871, "kAudioUnitErr_InvalidFile"},
    {-10868, "kAudioUnitErr_FormatNotSupported"},
    {-10867, "kAudioUnitErr_Uninitialized"},
    {-10866, "kAudioUnitErr_InvalidScope"},
    {-10865, "kAudioUnitErr_PropertyNotWritable"},
    {-10864, "kAUGraphErr_InvalidAudioUnit"},
    {-10863, "kAUGraphErr_CannotDoInCurrentContext"},
    {-10862, "kAUGraphErr_OutputNodeErr"},
    {-10861, "kAUGraphErr_InvalidConnection"},
    {-10860, "kAUGraphErr_NodeNotFound"},
    {-10859, "kAudioToolboxErr_TrackIndexError"},
    {-10858, "kAudioToolboxErr_TrackNotFound"},
    {-10857, "kAudioToolboxErr_EndOfTrack"},
    {-10856, "kAudioToolboxErr_StartOfTrack"},
    {-10855, "kAudioToolboxErr_IllegalTrackDestination"},
    {-10854, "kAudioToolboxErr_NoSequence"},
    {-10853, "kAudioToolboxErr_InvalidEventType"},
    {-10852, "kAudioToolboxErr_InvalidPlayerState"},
    {-10851, "kAudioUnitErr_InvalidPropertyValue"},
    {-10850, "kAudioUnitErr_PropertyNotInUse"},
    {-10849, "kAudioUnitErr_Initialized"},
    {-10848, "kAudioUnitErr_InvalidOfflineRender"},
    {-10847, "kAudioUnitErr_Unauthorized"},
    {-10846, "kAudioToolboxErr_InvalidSequenceType"},
    {-10844, "kMIDINotPermitted"},
    {-10843, "kMIDIIDNotUnique"},
    {-10842, "kMIDIObjectNotFound"},
    {-10841, "kMIDIWrongThread"},
    {-10840, "kMIDISetupFormatErr"},
    {-10839, "kMIDIServerStartErr"},
    {-10838, "kMIDIMessageSendErr"},
    {-10837, "kMIDINoCurrentSetup"},
    {-10836, "kMIDIWrongPropertyType"},
    {-10835, "kMIDIUnknownProperty"},
    {-10834, "kMIDIUnknownEndpoint"},
    {-10833, "kMIDINoConnection"},
    {-10832, "kMIDIWrongEndpointType"},
    {-10831, "kMIDIInvalidPort"},
    {-10830, "kMIDIInvalidClient"},
    {-108, "kAudio_MemFullError"},
    {-54, "kAudio_FilePermissionError"},
    {-50, "kAudio_ParamError"},
    {-43, "kAudio_FileNotFoundError"},
    {-42, "kAudio_TooManyFilesOpenError"},
    {-4, "kAudio_UnimplementedError"},
    {561017960, "kAudio_BadFilePathError"},
}};

}  // namespace

std::optional<std::string_view> statusConstantName(foundation::OSStatus status) {
    for (const StatusName& entry : kStatusNames) {
        if (entry.status == status) {
            return entry.name;
        }
    }
    return std::nullopt;
}

std::string fourCharString(std::uint32_t code) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const auto byte = static_cast<unsigned char>((code >> shift) & 0xFF);
        if (byte >= 128) {
            return {};
        }
        text.push_back(static_cast<char>(byte));
    }
    return text;
}

void errorName(foundation::OSStatus status) {
    if (status == foundation::noErr) {
        return;
    }
    safeprint("Error: " + std::to_string(status));
    safeprint("error string '" + fourCharString(static_cast<std::uint32_t>(status)) + "'");
    const std::optional<std::string_view> name = statusConstantName(status);
    safeprint(name ? std::string(*name) : std::string("Total Unbekannter Fehler"));
}

void midiObjectTypeName(std::int32_t type) {
    switch (type) {
        case -1: safeprint("- (midiObjectType) Other"); break;
        case 0: safeprint("- (midiObjectType) Device"); break;
        case 1: safeprint("- (midiObjectType) Entity"); break;
        case 2: safeprint("- (midiObjectType) Source"); break;
        case 3: safeprint("- (midiObjectType) Destination"); break;
        case 16: safeprint("- (midiObjectType) ExternalDevice"); break;
        case 17: safeprint("- (midiObjectType) ExternalEntity"); break;
        case 18: safeprint("- (midiObjectType) ExternalSource"); break;
        case 19: safeprint("- (midiObjectType) ExternalDestination"); break;
        default: safeprint("- unknown -"); break;
    }
}
