// The application's engine with the built instrument module: discovery through the registry, the effect chain, MIDI
// scheduled on the instrument from another thread, the instrument's MIDI output reaching the delegate, and the
// instrument's own view shown in the area given for it.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "Orvo_Tunedeck/engine/AudioEngine.h"
#include "platform/audioengine/ManualRenderingOutput.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TestFolder.h"

namespace {

constexpr uint32_t kBlock = 512;

bool contains(const std::vector<std::string>& lines, const std::string& text) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& line) { return line.find(text) != std::string::npos; });
}

// An instrument without a view of its own; it renders silence.
class SilentInstrument final : public AUAudioUnit {
public:
    explicit SilentInstrument(const AudioComponentDescription& description) : AUAudioUnit(description) {}
    AUInternalRenderBlock internalRenderBlock() override {
        return [](AudioUnitRenderActionFlags*, const AudioTimeStamp*, AUAudioFrameCount frames, int64_t,
                  AudioBufferList* out, const AURenderEvent*, const AURenderPullInputBlock&) {
            for (uint32_t b = 0; b < out->mNumberBuffers; ++b)
                std::memset(out->mBuffers[b].mData, 0, frames * sizeof(float));
            return foundation::noErr;
        };
    }
};

struct RecordingDelegate : AudioEngineDelegate {
    std::vector<std::vector<uint8_t>> shortMessages;
    std::vector<std::vector<uint8_t>> sysex;
    void onInstrumentMIDI(uint8_t status, uint8_t data1, uint8_t data2) override {
        shortMessages.push_back({status, data1, data2});
    }
    void onInstrumentSysEx(const std::vector<uint8_t>& bytes) override { sysex.push_back(bytes); }
};

class HostedInstrument : public ::testing::Test {
protected:
    void SetUp() override {
        environment.set("TUNEDECK_DOCUMENTS", (folder.path() / "Documents").string());
        static const bool searched = [] {
            AudioComponentRegistry::shared().addSearchFolder(TUNEDECK_AUDIO_MODULES_DIR);
            return true;
        }();
        (void)searched;
    }
    void TearDown() override {
        player.reset();
        dispatch::MainQueue::shared().drain();
    }

    void makePlayer() {
        player = AudioEngine::create(std::make_unique<audioengine::ManualRenderingOutput>(48000.0));
        player->delegate = &delegate;
        dispatch::MainQueue::shared().drain();
    }

    // Renders blocks and returns the energy of the left channel.
    double render(int blocks) {
        std::vector<float> left(kBlock), right(kBlock);
        double energy = 0.0;
        for (int block = 0; block < blocks; ++block) {
            EXPECT_TRUE(player->engine->renderOffline(kBlock, left.data(), right.data()));
            for (const float sample : left) energy += static_cast<double>(sample) * sample;
            dispatch::MainQueue::shared().drain();
        }
        return energy;
    }

    testsupport::TestFolder folder;
    testsupport::ScopedEnvironment environment;
    foundation::LogCapture log;
    RecordingDelegate delegate;
    std::shared_ptr<AudioEngine> player;
};

TEST_F(HostedInstrument, FindsTheBuiltModuleAndBuildsTheChain) {
    makePlayer();
    ASSERT_NE(player->instrument, nullptr);
    ASSERT_EQ(player->instrument->_availableAudioUnits.size(), 1u);
    ASSERT_NE(player->instrument->audioUnit0, nullptr);
    EXPECT_EQ(player->instrument->audioUnit0->contextName(), "KWBL: Orvo Tunedeck Extension");
    const auto lines = log.lines();
    for (const char* text : {"type: aumu", "subtype: qBvn", "manufacturer: KWBL", "flags: 0x00000002",
                             "ExternalAudioUnit: An AudioUnit was found and will be instanciated.",
                             "AudioEngine::startEngine() : The audio engine was started."})
        EXPECT_TRUE(contains(lines, text)) << text;
    EXPECT_TRUE(player->engine->isRunning());

    ASSERT_NE(player->reverb, nullptr);
    EXPECT_EQ(player->reverb->factoryPreset(), audioengine::ReverbPreset::mediumRoom);
    EXPECT_FLOAT_EQ(player->reverbMix(), 33.0f);
    ASSERT_NE(player->eq, nullptr);
    const float frequencies[] = {40.0f, 440.0f, 12000.0f};
    for (size_t band = 0; band < 3; ++band) {
        const auto& settings = *player->eq->bands()[band];
        EXPECT_FLOAT_EQ(settings.frequency(), frequencies[band]);
        EXPECT_FLOAT_EQ(settings.bandwidth(), 3.0f);
        EXPECT_FLOAT_EQ(settings.gain(), 0.0f);
        EXPECT_FALSE(settings.bypass());
    }
    ASSERT_NE(player->limiter, nullptr);
    const auto& engine = *player->engine;
    EXPECT_EQ(engine.connectionFormat(player->reverb.get(), 0, true), player->hardwareFormat);
    EXPECT_EQ(engine.connectionFormat(player->limiter.get(), 0, false), player->hardwareFormat);

    log.clear();
    player->startEngine();
    dispatch::MainQueue::shared().drain();
    EXPECT_TRUE(contains(log.lines(), "AudioEngine::startEngine() : WARNING: The audio engine is already active."));
    EXPECT_TRUE(player->engine->isRunning());
}

TEST_F(HostedInstrument, TheInstrumentsViewFillsTheAreaGivenBeforeOrAfterItArrives) {
    for (const bool areaFirst : {true, false}) {
        SCOPED_TRACE(areaFirst ? "area given first" : "area given later");
        const auto area = std::make_shared<ui::View>(ui::Rect{0, 52, 480, 308});
        player = AudioEngine::create(std::make_unique<audioengine::ManualRenderingOutput>(48000.0));
        if (areaFirst) player->setPluginView(area);
        dispatch::MainQueue::shared().drain();
        ASSERT_NE(player->instrumentViewController, nullptr);
        if (!areaFirst) {
            EXPECT_TRUE(area->subviews().empty());
            player->setPluginView(area);
        }
        const auto view = player->instrumentViewController->viewPointer();
        EXPECT_EQ(area->subviews(), std::vector<std::shared_ptr<ui::View>>{view});
        EXPECT_EQ(view->frame(), area->bounds());
        player.reset();
        dispatch::MainQueue::shared().drain();
    }
    EXPECT_FALSE(contains(log.lines(), "AudioEngine::openAUView()"));
}

TEST_F(HostedInstrument, AUnitAskedForItsViewShowsItInTheGivenContainer) {
    player = AudioEngine::create(std::make_unique<audioengine::ManualRenderingOutput>(48000.0));
    dispatch::MainQueue::shared().drain();
    ASSERT_NE(player->instrument->audioUnit0, nullptr);
    const auto container = std::make_shared<ui::View>(ui::Rect{0, 0, 300, 200});
    player->openAUView(player->instrument->audioUnit0, container);
    EXPECT_TRUE(container->subviews().empty()) << "the view controller arrives later, on the main queue";
    dispatch::MainQueue::shared().drain();
    ASSERT_NE(player->instrumentViewController, nullptr);
    const auto view = player->instrumentViewController->viewPointer();
    EXPECT_EQ(container->subviews(), std::vector<std::shared_ptr<ui::View>>{view});
    EXPECT_EQ(view->frame(), container->bounds());

    log.clear();
    player->openAUView(std::make_shared<SilentInstrument>(AudioEngine::kInstrumentDescription), container);
    dispatch::MainQueue::shared().drain();
    const auto lines = log.lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "AudioEngine::openAUView() : ERROR: VC is nil."), 1);
}

TEST_F(HostedInstrument, AnInstrumentWithoutAViewIsLoggedAndShowsNothing) {
    AudioComponentRegistry registry;
    registry.registerComponent(AudioEngine::kInstrumentDescription, "KWBL: Silent", 1,
                               [](const AudioComponentDescription& d) { return std::make_shared<SilentInstrument>(d); });
    const auto area = std::make_shared<ui::View>(ui::Rect{0, 0, 200, 100});
    player = AudioEngine::create(std::make_unique<audioengine::ManualRenderingOutput>(48000.0), registry);
    player->setPluginView(area);
    dispatch::MainQueue::shared().drain();
    const auto lines = log.lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "AudioEngine::openAUView() : ERROR: VC is nil."), 1);
    EXPECT_EQ(player->instrumentViewController, nullptr);
    EXPECT_TRUE(area->subviews().empty());
    EXPECT_TRUE(player->engine->isRunning());
}

TEST_F(HostedInstrument, NothingMatchingLeavesTheEngineWithoutInstrument) {
    AudioComponentRegistry empty;
    player = AudioEngine::create(std::make_unique<audioengine::ManualRenderingOutput>(48000.0), empty);
    dispatch::MainQueue::shared().drain();
    EXPECT_TRUE(contains(log.lines(), "ExternalAudioUnit::ERROR: No audio units found, based on this description."));
    EXPECT_EQ(player->instrument->audioUnit0, nullptr);
    EXPECT_EQ(player->reverb, nullptr);
    EXPECT_FALSE(player->engine->isRunning());

    player->sendMIDI(0x90, 60, 100);
    player->sendNoteOn(0, 60, 100, 0);
    dispatch::MainQueue::shared().drain();
    EXPECT_TRUE(
        contains(log.lines(), "AudioEngine::sendMIDI() : WARNING: Audio Unit not available yet for MIDI messges."));
    EXPECT_TRUE(contains(log.lines(), "AudioEngine::sendNoteOn() : ERROR: Audio Unit not available."));
}

TEST_F(HostedInstrument, MIDIScheduledFromAnotherThreadSounds) {
    makePlayer();
    EXPECT_LT(render(4), 1e-9);
    std::atomic<bool> sent{false};
    std::thread midiInput([&] {
        player->sendMIDI(0xC0, 0);
        player->sendMIDI(0x90, 69, 110);
        sent = true;
    });
    while (!sent) render(1);
    midiInput.join();
    EXPECT_GT(render(40), 1e-3);
    // The instrument sends what it played out on its MIDI output; the delegate hears it on the main queue.
    EXPECT_NE(std::find(delegate.shortMessages.begin(), delegate.shortMessages.end(),
                        std::vector<uint8_t>{0x90, 69, 110}),
              delegate.shortMessages.end());
}

TEST_F(HostedInstrument, InstrumentOutputReachesTheDelegateWholeAtAnyLength) {
    makePlayer();
    const uint8_t programChange[] = {0xC3, 5};
    const uint8_t dataFirst[] = {0x3C, 0x40, 0x00};
    std::vector<uint8_t> sysex = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0x02, 0x03, 0x04, 0x05, 0xF7};
    // Longer than one hand-off entry to the main queue, and longer than many.
    std::vector<std::vector<uint8_t>> longSysex;
    for (const size_t length : {223u, 224u, 1000u, 20000u}) {
        std::vector<uint8_t>& bytes = longSysex.emplace_back(length, uint8_t{0x11});
        bytes.front() = 0xF0;
        bytes.back() = 0xF7;
    }
    player->onMIDI(nullptr, 0, 0, 2, programChange);
    player->onMIDI(nullptr, 0, 0, 3, dataFirst);
    player->onMIDI(nullptr, 0, 0, 0, programChange);
    player->onMIDI(nullptr, 0, 0, static_cast<int64_t>(sysex.size()), sysex.data());
    for (const auto& bytes : longSysex)
        player->onMIDI(nullptr, 0, 0, static_cast<int64_t>(bytes.size()), bytes.data());
    player->onMIDI(nullptr, 0, 0, 2, programChange);
    dispatch::MainQueue::shared().drain();
    // The delegate's short form carries missing data bytes as 0.
    EXPECT_EQ(delegate.shortMessages, (std::vector<std::vector<uint8_t>>{{0xC3, 5, 0}, {0xC3, 5, 0}}));
    longSysex.insert(longSysex.begin(), sysex);
    EXPECT_EQ(delegate.sysex, longSysex);
}

TEST_F(HostedInstrument, AMessageTheHandOffCannotTakeWholeIsDroppedWithoutHarmingTheNext) {
    makePlayer();
    // More than the hand-off to the main queue holds at once: the message is cut off and dropped whole.
    std::vector<uint8_t> tooLong(300000, uint8_t{0x22});
    tooLong.front() = 0xF0;
    tooLong.back() = 0xF7;
    const std::vector<uint8_t> next = {0xF0, 0x01, 0x02, 0x03, 0xF7};
    player->onMIDI(nullptr, 0, 0, static_cast<int64_t>(tooLong.size()), tooLong.data());
    dispatch::MainQueue::shared().drain();
    player->onMIDI(nullptr, 0, 0, static_cast<int64_t>(next.size()), next.data());
    dispatch::MainQueue::shared().drain();
    EXPECT_EQ(delegate.sysex, std::vector<std::vector<uint8_t>>{next});
}

TEST_F(HostedInstrument, SystemExclusiveLengthIsLimitedToTheBytesGiven) {
    makePlayer();
    const uint8_t bytes[] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
    player->sendMIDI(std::span<const uint8_t>(bytes), 4000);
    render(2);
    EXPECT_EQ(player->instrument->audioUnit0->droppedScheduledMIDICount(), 0u);
}

TEST_F(HostedInstrument, ChangingTheSoundSetStartsOverWithANewEngineAndInstrument) {
    makePlayer();
    const auto firstEngine = player->engine;
    const auto firstInstrument = player->instrument;
    log.clear();
    player->changeSoundfont(4);
    EXPECT_EQ(player->currentSoundfont, 4);
    EXPECT_FALSE(firstEngine->isRunning());
    dispatch::MainQueue::shared().drain();
    ASSERT_NE(player->engine, firstEngine);
    ASSERT_NE(player->instrument, firstInstrument);
    ASSERT_NE(player->instrument->audioUnit0, nullptr);
    EXPECT_TRUE(player->engine->isRunning());
    EXPECT_EQ(player->hardwareFormat.sampleRate, 48000.0);
    // Row 4 is the bank "soundfont7".
    EXPECT_TRUE(contains(log.lines(), "soundfont7.sf2 was successfully loaded."));
    player->sendMIDI(0x90, 69, 110);
    EXPECT_GT(render(40), 1e-3);
}

TEST_F(HostedInstrument, CreateMakesTheUnitAtOnceAndRefusesUnsupportedTypes) {
    const auto engine =
        std::make_shared<audioengine::Engine>(std::make_unique<audioengine::ManualRenderingOutput>(48000.0));
    const auto unit = std::make_shared<ExternalAudioUnit>(engine);
    const AudioComponentDescription description{0x61756D75, 0x7142766E, 0x4B57424C, 2, 0};
    unit->create(description, "sync");
    EXPECT_EQ(unit->componentDescription.componentSubType, description.componentSubType);
    ASSERT_NE(unit->audioUnit0, nullptr) << "made before any main-queue turn";
    EXPECT_EQ(unit->audioUnit0->contextName(), "sync");
    EXPECT_TRUE(unit->_availableAudioUnits.empty()) << "no registry list was made";
    dispatch::MainQueue::shared().drain();
    EXPECT_TRUE(contains(log.lines(), "ExternalAudioUnit::create(): The audio unit reports MIDI output names. "
                                      "Assigning a handling block."));

    const auto other = std::make_shared<ExternalAudioUnit>(engine);
    other->create({0x61756F75, 0, 0, 0, 0}, "output");
    dispatch::MainQueue::shared().drain();
    EXPECT_EQ(other->audioUnit0, nullptr);
    EXPECT_TRUE(contains(log.lines(), "ExternalAudioUnit::ERROR: Unit type is not supported."));
    const auto noEngine = std::make_shared<ExternalAudioUnit>(nullptr);
    noEngine->create(description, "none");
    dispatch::MainQueue::shared().drain();
    EXPECT_TRUE(contains(log.lines(), "ExternalAudioUnit::ERROR: Engine is nil."));
}

}  // namespace
