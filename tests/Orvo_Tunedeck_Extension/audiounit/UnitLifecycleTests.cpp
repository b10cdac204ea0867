// The instrument as hosts see it: what it reports, what allocation and deallocation do, and what its setters reach.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "platform/foundation/Log.h"
#include "platform/synth/MIDISynthUnit.h"
#include "tests/Orvo_Tunedeck_Extension/audiounit/UnitFixture.h"

namespace unit_test {
namespace {

using UnitLifecycle = UnitFixture;

std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

MIDISynthUnit& synthUnit(OrvoTunedeck_AudioUnit& unit) {
    return dynamic_cast<MIDISynthUnit&>(*unit.synth()->audioUnit());
}

TEST_F(UnitLifecycle, ReportsWhatHostsAsk) {
    EXPECT_EQ(unit->outputBusses().count(), 1u);
    EXPECT_EQ(unit->inputBusses().count(), 0u);
    EXPECT_EQ(unit->outputBusses()[0]->format().channelCount, 2u);
    EXPECT_EQ(unit->MIDIOutputNames(), std::vector<std::string>{"Orvo Tunedeck MIDI OUT"});
    EXPECT_EQ(unit->virtualMIDICableCount(), 1);
    EXPECT_EQ(unit->tailTime(), 4.0);
    EXPECT_EQ(unit->latency(), 0.0);
    EXPECT_EQ(unit->channelCapabilities(), (std::vector<int32_t>{0, 2}));
    EXPECT_EQ(unit->parametersForOverview(5), std::vector<AUParameterAddress>{1001});
    EXPECT_TRUE(unit->isMusicDeviceOrEffect());
    EXPECT_FALSE(unit->canPerformInput());
    EXPECT_TRUE(unit->canPerformOutput());
    EXPECT_TRUE(unit->supportsUserPresets());
    EXPECT_TRUE(unit->supportedViewConfigurations({{}, {}}).empty());
    EXPECT_EQ(unit->parameterTree()->allParameters().size(), 165u);
}

// What hosts and the unit's own set-up read and call, each with the line it must log.
TEST_F(UnitLifecycle, HostReadsDelegateCallsAndFolderFailuresLogTheirLines) {
    const auto blocker = folder.path() / "a file";
    std::ofstream(blocker) << "not a folder";
    const std::string synthDescription = [&] {
        char address[32];
        std::snprintf(address, sizeof address, "%p", static_cast<const void*>(static_cast<AudioUnitBase*>(unit->synth().get())));
        return std::string("<AudioUnitMIDISynth: ") + address + ">";
    }();
    const struct {
        const char* what;
        std::function<void()> call;
        std::string line;
    } cases[] = {
        {"user presets", [&] { EXPECT_TRUE(unit->supportsUserPresets()); },
         "OrvoTunedeck_AudioUnit::supportsUserPresets: true"},
        {"tree read", [&] { EXPECT_EQ(unit->parameterTree()->allParameters().size(), 165u); },
         "OrvoTunedeck_AudioUnit::parameterTree (get)"},
        {"tree set", [&] { unit->setParameterTree(AUParameterTree::createTree({})); },
         "OrvoTunedeck_AudioUnit::parameterTree (set) !!!"},
        {"found component", [&] { unit->onFoundComponent(unit->synth().get()); },
         "OrvoTunedeck_AudioUnit::onFoundComponent() : The inernal unit " + synthDescription + " was found"},
        {"folder under a file", [&] { EXPECT_FALSE(unit->ensureDirectoryExists(blocker / "Presets")); },
         "OrvoTunedeck_AudioUnit::ensureDirectoryExists() : ERROR: Creating required directory '" +
             (blocker / "Presets").string() + "' failed: Not a directory"},
    };
    for (const auto& c : cases) {
        foundation::LogCapture log;
        c.call();
        dispatch::MainQueue::shared().drain();
        const auto lines = log.lines();
        EXPECT_EQ(std::count(lines.begin(), lines.end(), c.line), 1) << c.what;
    }
    EXPECT_EQ(unit->parameterTree()->allParameters().size(), 165u) << "a host's tree does not replace the unit's";
    EXPECT_TRUE(unit->ensureDirectoryExists(folder.path() / "new" / "Presets"));
    EXPECT_TRUE(std::filesystem::is_directory(folder.path() / "new" / "Presets"));
}

TEST_F(UnitLifecycle, PrivateEngineRunsSilentAndNeverPullsTheSynthesizer) {
    ASSERT_NE(unit->engine(), nullptr);
    EXPECT_TRUE(unit->engine()->isRunning());
    EXPECT_EQ(unit->engine()->mainMixerNode()->outputVolume(), 0.0f);
    ASSERT_NE(unit->synth()->midiSynth, nullptr);
    EXPECT_EQ(unit->synth()->audioUnit()->contextName(), "Internal Synthesizer (MT)");
    const auto attached = unit->engine()->attachedNodes();
    EXPECT_NE(std::find(attached.begin(), attached.end(), unit->synth()->midiSynth), attached.end());
    EXPECT_EQ(unit->engine()->sampleTime(), 0);
}

TEST_F(UnitLifecycle, AllocationLoadsSoundSet00AndWritesTheDefaultPresetOnce) {
    EXPECT_TRUE(unit->renderResourcesAllocated());
    EXPECT_EQ(synthUnit(*unit).soundBankPath().filename(), "gs_instruments.dls");
    EXPECT_EQ(unit->soundfontprograms()->programs.size(), 235u) << "the GS table";

    const auto preset = folder.path() / "Documents" / "Presets" / "default.aupreset";
    ASSERT_TRUE(std::filesystem::exists(preset));
    const std::string written = fileText(preset);
    EXPECT_NE(written.find("Orvo Tunedeck Preset"), std::string::npos);

    unit->setParameter(1001, 0.25f);
    unit->deallocateRenderResources();
    EXPECT_FALSE(unit->renderResourcesAllocated());
    allocate();
    EXPECT_EQ(fileText(preset), written) << "an existing default preset is kept";
}

TEST_F(UnitLifecycle, AllocationAtTheOutputRateReachesKernelAndPlayer) {
    unit->deallocateRenderResources();
    ASSERT_TRUE(unit->outputBusses()[0]->setFormat(AudioFormat::standard(44100.0, 2)));
    allocate();
    EXPECT_EQ(unit->kernelAdapter()->getSamplerate(), 44100.0f);
    EXPECT_EQ(unit->sequencer()->samplerate(), 44100.0);
    EXPECT_EQ(unit->currentSampletime(), 0);
}

TEST_F(UnitLifecycle, FrameLimitAndBypassReachKernelAndSynthesizer) {
    unit->deallocateRenderResources();
    unit->setMaximumFramesToRender(1024);
    EXPECT_EQ(unit->kernelAdapter()->maximumFramesToRender(), 1024u);
    EXPECT_EQ(unit->synth()->audioUnit()->maximumFramesToRender(), 1024u);
    unit->setShouldBypassEffect(true);
    EXPECT_TRUE(unit->kernelAdapter()->shouldBypassEffect());
    EXPECT_TRUE(unit->synth()->audioUnit()->shouldBypassEffect());
}

TEST_F(UnitLifecycle, MIDIOutputBlockSetLaterReachesOnlyLaterRenderBlocks) {
    std::vector<SentMessage> later;
    unit->setMIDIOutputEventBlock(
        [&later](AUEventSampleTime time, std::uint8_t cable, std::int64_t length, const std::uint8_t* bytes) {
            later.push_back({time, cable, std::vector<std::uint8_t>(bytes, bytes + length)});
            return foundation::noErr;
        });
    EventListBuilder host;
    host.midi(0, {0x90, 0x3C, 0x64});
    render(0, host.head());
    EXPECT_EQ(sent.size(), 1u);
    EXPECT_TRUE(later.empty());

    const AURenderBlock fetched = unit->internalRenderBlock();
    AudioBufferList buffers = stereoBufferList(left.data(), right.data(), kFrames);
    AudioTimeStamp timestamp;
    timestamp.mSampleTime = kFrames;
    AudioUnitRenderActionFlags flags = 0;
    fetched(&flags, &timestamp, kFrames, 0, &buffers, host.head(), nullptr);
    EXPECT_EQ(later.size(), 1u);
}

TEST_F(UnitLifecycle, ResetSilencesTheSynthesizer) {
    EventListBuilder host;
    host.midi(0, {0x90, 0x45, 0x7F});
    render(0, host.head());
    ASSERT_GT(rms(left.data(), kFrames), 1e-3);
    unit->reset();
    render(kFrames);
    EXPECT_LT(rms(left.data(), kFrames), 1e-4);
}

}  // namespace
}  // namespace unit_test
