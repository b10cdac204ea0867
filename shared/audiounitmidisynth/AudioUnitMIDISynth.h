#pragma once
// The wrapper of the platform's General MIDI synthesizer unit ('aumu', 'msyn', 'appl') hosted in an audio engine:
// makes and attaches its node, loads a sound bank into it by number or by file, and preloads programs into it. The
// owner pulls its audio through the unit's render block itself.
//
// Preloading switches the unit's preload property on, sends bank selects and program changes (which then only load
// instruments) and switches it off again before the operation returns, unless switching it on failed. Bank selects
// go on the channel of the program change they belong to.
//
// Threads: every operation on the thread that owns the wrapper (the owner's control thread, never the render thread).
// Log lines go through debugprint and safeprint. Own through std::shared_ptr, like every AudioUnitBase.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/audioengine/UnitNode.h"
#include "platform/synth/MIDISynthUnit.h"
#include "shared/audiounitbase/AudioUnitBase.h"
#include "shared/audiounitbase/SoundBankLoad.h"

class AudioUnitMIDISynth : public AudioUnitBase {
public:
    explicit AudioUnitMIDISynth(std::shared_ptr<audioengine::Engine> engine);

    // The synthesizer's node; none before create() and after destroy().
    std::shared_ptr<audioengine::UnitNode> midiSynth;
    // The platform MIDI synthesizer. create() makes the stand-in known to the process's component registry when no
    // component there matches it yet.
    const AudioComponentDescription cd = kMIDISynthDescription;
    // For callers; the loaders below never set it.
    std::optional<std::filesystem::path> currentSoundfont;
    // The last load of either loader: the file it asked for and how it went.
    SoundBankLoad lastSoundBankLoad;

    // Makes the synthesizer's node, names its unit, forwards its MIDI output when it has some, attaches the node,
    // tells the delegate, prints diagnostics and reads the parameters. Needs an engine.
    void create(const std::string& name) override;
    // Disconnects and detaches the node and drops it. Needs an engine.
    void destroy() override;

    // Loads bank 0 and preloads programs 0 to 127 of bank 0 on channel 1 and the 128 kits on channel 10.
    virtual void initialize();

    // Loads the resources folder's bank of that number (SoundBankResource.h). A missing file is a log line and
    // keeps the bank loaded before.
    void loadSoundFont(int number);
    // Loads the bank file at url; true when the unit took it.
    bool loadSoundFont(const std::filesystem::path& url);

    // Preloads the programs of bank (msb, lsb) on channel (0 to 15; higher bits are ignored), in the order given.
    void preloadPatches(uint8_t channel, const std::vector<uint32_t>& patches, uint8_t msb, uint8_t lsb);
    // Preloads the programs on channel 10 without a bank select.
    void preloadPatches2(const std::vector<uint32_t>& patches);
    // Preloads one program of bank (msb, lsb) on channel (0 to 15; higher bits are ignored).
    void preloadPatch(uint8_t msb, uint8_t lsb, uint8_t patch, uint8_t channel);

private:
    // The node's unit, or nullptr (and a log line naming operation) before create().
    std::shared_ptr<AUAudioUnit> synthUnit(const char* operation);
    foundation::OSStatus setPreloading(AUAudioUnit& unit, bool on);
    // Switches preloading on; false, after the log line, when the unit refused.
    bool beginPreload(AUAudioUnit& unit);
    // Switches preloading off; logs successLine (unless empty) or the failure.
    void endPreload(AUAudioUnit& unit, const std::string& successLine);
    void sendBankSelect(AUAudioUnit& unit, uint8_t channel, uint8_t msb, uint8_t lsb);
};
