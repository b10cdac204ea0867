// Standard MIDI files into a music sequence, which is then written back out.
#include <span>
#include <vector>

#include "platform/musicsequence/MusicSequence.h"
#include "platform/musicsequence/MusicSequenceFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MusicSequence sequence;
    if (NewMusicSequence(&sequence) != noErr) return 0;
    for (const MusicSequenceLoadFlags flags : {MusicSequenceLoadFlags{0}, MusicSequenceLoadFlags{kMusicSequenceLoadSMF_ChannelsToTracks}}) {
        if (MusicSequenceFileLoadData(sequence, std::span(data, size), kMusicSequenceFile_AnyType, flags) == noErr) {
            std::vector<std::uint8_t> written;
            MusicSequenceFileCreateData(sequence, kMusicSequenceFile_MIDIType, 0, 0, &written);
        }
    }
    return 0;
}
