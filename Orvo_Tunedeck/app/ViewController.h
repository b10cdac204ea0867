#pragma once
// The application's hub behind the main screen. At load it learns where resources and the user's documents live,
// puts a copy of "default.mid" among the documents when none is there, and makes the one AudioEngine. It passes
// incoming MIDI on to that engine, hands the chosen sound-set row to the instrument, and brings files the user picks
// or opens into the documents (an existing name is never replaced).
//
// Threads: everything on the main queue, except onChannelMessage and onSysEx, which run on the MIDI input thread
// and only schedule bytes on the engine.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "Orvo_Tunedeck/app/NotificationCenter.h"
#include "Orvo_Tunedeck/configuration/ConfigurationViewControllerDelegate.h"
#include "Orvo_Tunedeck/engine/AudioEngine.h"
#include "Orvo_Tunedeck/midi/MIDIMessageDelegate.h"
#include "platform/ui/View.h"

// Why the instrument did not take a sound-set row: the bank it looked for and what was wrong with it.
struct SoundsetRefusal {
    int64_t row = 0;
    std::filesystem::path bank;
    std::string reason;  // "is missing", or "could not be loaded: " and why
    // "the sound bank '<bank>' of sound set <row> <reason>", the bank named by its whole path or by its file name.
    std::string text(bool wholePath) const;
};

// Own through std::shared_ptr: the MIDI connection holds the view controller as its delegate.
class ViewController final : public AudioEngineDelegate,
                             public ConfigurationViewControllerDelegate,
                             public MIDIMessageDelegate,
                             public std::enable_shared_from_this<ViewController> {
public:
    // The parameter address to which the chosen sound-set row is written.
    static constexpr int64_t kSoundsetAddress = AudioEngine::kSoundsetAddress;
    // The instrument's option that tells it the engine stopped pulling sound (0) or pulls it again (1), so that
    // its own file player and view follow the engine.
    static constexpr int64_t kFilePlayerAddress = 1193;

    ViewController() = default;
    ~ViewController() override;
    ViewController(const ViewController&) = delete;
    ViewController& operator=(const ViewController&) = delete;

    std::string resourcesPath;
    std::string documentsPath;
    std::shared_ptr<AudioEngine> player;
    // Called with every sound-set row the instrument took through onSoundsetSelected; may be empty.
    std::function<void(int64_t row)> onSoundsetChosen;
    // Called when the instrument refused a row chosen through onSoundsetSelected; may be empty.
    std::function<void(const SoundsetRefusal& refusal)> onSoundsetRefused;
    // The main screen's root view once it is loaded (the screen sets it); not owned.
    std::weak_ptr<ui::View> view;

    // Makes this the current view controller and the delegate of the MIDI connection, finds the folders, provides
    // the default document, creates the engine on output (the null output when none is given) and observes
    // "OpenInNotification".
    void viewDidLoad(std::unique_ptr<audioengine::AudioOutput> output = nullptr);
    void getDirectories();
    void provideDefaultDocuments();

    // Copies the picked files: folders and files other than .mid, .midi and .kar (any case) are skipped, existing
    // names are left alone; one failure does not stop the others.
    void documentPicker(const std::vector<std::filesystem::path>& urls);
    void documentPicker(const std::filesystem::path& url);
    void documentPickerWasCancelled();
    // Lays the main screen's view out at once, when it is loaded, then copies the file named under "url" into the
    // documents folder unless a file of that name is there.
    void onOpenIn(const std::optional<NotificationUserInfo>& userInfo);

    // Start and pause the engine; the instrument is told, so that its file player pauses and continues with it.
    void onButtonPlay();
    void onButtonStop();

    // MIDIMessageDelegate: a channel message of length 1 to 3 and a system-exclusive message go to the instrument
    // with exactly their own bytes (other lengths are dropped); the rest is ignored.
    void onChannelMessage(midi::MIDITimeStamp timeStamp, uint8_t status, uint8_t data1, uint8_t data2,
                          uint16_t length) override;
    void onSysEx(midi::MIDITimeStamp timeStamp, uint16_t length, std::span<const uint8_t> bytes) override;
    void onTimeCode(midi::MIDITimeStamp, uint8_t) override {}
    void onSongPositionPointer(midi::MIDITimeStamp, uint8_t, uint8_t) override {}
    void onSongSelect(midi::MIDITimeStamp, uint8_t) override {}
    void onTuneRequest(midi::MIDITimeStamp) override {}
    void onClock(midi::MIDITimeStamp) override {}
    void onStart(midi::MIDITimeStamp) override {}
    void onContinue(midi::MIDITimeStamp) override {}
    void onStop(midi::MIDITimeStamp) override {}
    void onActiveSensing(midi::MIDITimeStamp) override {}
    void onSystemReset(midi::MIDITimeStamp) override {}
    void onMIDINotification() override {}

    // AudioEngineDelegate.
    void onInstrumentMIDI(uint8_t status, uint8_t data1, uint8_t data2) override;
    void onInstrumentSysEx(const std::vector<uint8_t>& bytes) override;
    // ConfigurationViewControllerDelegate: chooseSoundset, then onSoundsetChosen or onSoundsetRefused.
    void onSoundsetSelected(int64_t index) override;
    // Writes row to the instrument's parameter kSoundsetAddress. False, with error naming the bank and why, when the
    // instrument reports that the set's bank did not load: it then plays what it played before, and loadedSoundset()
    // stays as it was.
    bool chooseSoundset(int64_t row, std::string& error);
    // Whether the instrument's last bank load went well (an instrument that does not tell is taken at its word);
    // false, with error naming the bank of loadedSoundset() and why, otherwise.
    bool soundsetBankLoaded(std::string& error) const;
    // The sound-set row the instrument plays: row 0 (set "00", which it loads at start) until another row was
    // written to it.
    int64_t loadedSoundset() const { return loadedSoundset_; }

private:
    // Writes row to the instrument; the refusal when the set's bank did not load, none when it plays the set.
    std::optional<SoundsetRefusal> applySoundset(int64_t row);

    uint64_t openInObserver_ = 0;
    int64_t loadedSoundset_ = 0;
};

// The running main view controller; nullptr until a view has loaded. Main queue.
ViewController* currentViewController();
