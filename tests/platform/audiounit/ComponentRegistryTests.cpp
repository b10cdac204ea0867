#include <gtest/gtest.h>

#include "platform/audiounit/AudioComponentRegistry.h"
#include "platform/dispatch/MainQueue.h"
#include "tests/platform/audiounit/RecordingInstrument.h"

using namespace audiounit_testing;

namespace {

constexpr AudioComponentDescription kModuleInstrument{fourCC("aumu"), fourCC("modA"), fourCC("Modl"), 0, 0};

AudioComponentFactory recordingFactory() {
    return [](const AudioComponentDescription& d) { return std::make_shared<RecordingInstrument>(d); };
}

std::vector<std::string> names(const std::vector<AudioComponent>& components) {
    std::vector<std::string> result;
    for (const auto& c : components) result.push_back(c.name());
    return result;
}

}  // namespace

TEST(ComponentRegistry, ZeroFieldsMatchAnythingAndFlagsCountUnderTheMask) {
    struct Case {
        AudioComponentDescription searched;
        bool matches;
    };
    const AudioComponentDescription component{fourCC("aumu"), fourCC("qBvn"), fourCC("KWBL"), 2, 0};
    for (const Case& c : {
             Case{{0, 0, 0, 0, 0}, true},
             Case{{fourCC("aumu"), 0, 0, 0, 0}, true},
             Case{{0, fourCC("qBvn"), 0, 0, 0}, true},
             Case{{0, 0, fourCC("KWBL"), 0, 0}, true},
             Case{{fourCC("aumu"), fourCC("qBvn"), fourCC("KWBL"), 0, 0}, true},
             Case{{fourCC("aufx"), 0, 0, 0, 0}, false},
             Case{{fourCC("aumu"), fourCC("qBvx"), fourCC("KWBL"), 0, 0}, false},
             Case{{0, 0, fourCC("appl"), 0, 0}, false},
             Case{{fourCC("aumu"), fourCC("qBvn"), fourCC("KWBL"), 7, 0}, true},  // flags ignored without a mask
             Case{{0, 0, 0, 2, 2}, true},
             Case{{0, 0, 0, 0, 2}, false},
         })
        EXPECT_EQ(componentMatches(component, c.searched), c.matches)
            << c.searched.componentType << "/" << c.searched.componentSubType << "/"
            << c.searched.componentManufacturer << " flags " << c.searched.componentFlags << " mask "
            << c.searched.componentFlagsMask;
}

TEST(ComponentRegistry, FindsAndMakesAStaticallyRegisteredUnit) {
    AudioComponentRegistry registry;
    registry.registerComponent(kRecordingInstrument, "Test Maker: Recorder", 2, recordingFactory());
    registry.registerComponent({fourCC("aufx"), fourCC("efct"), fourCC("Test"), 0, 0}, "Test Maker: Effect", 1,
                               recordingFactory());

    EXPECT_EQ(names(registry.components({0, 0, 0, 0, 0})),
              (std::vector<std::string>{"Test Maker: Recorder", "Test Maker: Effect"}));
    EXPECT_EQ(names(registry.components({0, 0, fourCC("Test"), 0, 0})).size(), 2U);
    const auto found = registry.components({fourCC("aumu"), 0, 0, 0, 0});
    ASSERT_EQ(names(found), (std::vector<std::string>{"Test Maker: Recorder"}));
    const auto unit = found.front().instantiate();
    EXPECT_NE(dynamic_cast<RecordingInstrument*>(unit.get()), nullptr);
    EXPECT_EQ(unit->componentName(), "Test Maker: Recorder");
    EXPECT_EQ(unit->componentVersion(), 2U);
    EXPECT_TRUE(registry.components({fourCC("aumu"), fourCC("none"), 0, 0, 0}).empty());
}

TEST(ComponentRegistry, FindsAModuleOnTheSearchPathByDescriptionAndMakesItsUnit) {
    AudioComponentRegistry registry;
    registry.addSearchFolder(AUDIOUNIT_TEST_MODULES);
    const auto problems = registry.loadModules();
    ASSERT_EQ(problems.size(), 1U);
    EXPECT_NE(problems[0].find("has no TunedeckAudioModuleEntry"), std::string::npos) << problems[0];
    EXPECT_TRUE(registry.loadModules().empty()) << "modules are looked at once";

    const auto found = registry.components(kModuleInstrument);
    ASSERT_EQ(found.size(), 1U);
    EXPECT_EQ(found[0].name(), "Module Maker: Module Instrument");
    EXPECT_EQ(found[0].version(), 3U);
    EXPECT_NE(found[0].modulePath().find("audiounit_test_module.so"), std::string::npos);

    const auto unit = found[0].instantiate();
    ASSERT_TRUE(unit);
    EXPECT_EQ(unit->audioUnitName(), "Module Instrument");
    unit->allocateRenderResources();
    std::vector<float> left(16), right(16);
    AudioBufferList buffers = stereoBufferList(left.data(), right.data(), 16);
    AudioTimeStamp timestamp;
    AudioUnitRenderActionFlags flags = 0;
    EXPECT_EQ(unit->renderBlock()(&flags, &timestamp, 16, 0, &buffers, nullptr, {}), foundation::noErr);
    EXPECT_EQ(left[15], 0.5f) << "rendered by the module's code";

    const auto refusing = registry.components({fourCC("aufx"), fourCC("modF"), 0, 0, 0});
    ASSERT_EQ(refusing.size(), 1U);
    try {
        refusing[0].instantiate();
        ADD_FAILURE() << "the refusing effect made a unit";
    } catch (const AudioUnitStatusError& error) {
        EXPECT_EQ(error.status(), foundation::kAudioUnitErr_FailedInitialization);
    }
}

TEST(ComponentRegistry, AsynchronousInstantiationCompletesOnTheMainQueue) {
    AudioComponentRegistry registry;
    registry.registerComponent(kRecordingInstrument, "Test Maker: Recorder", 1, recordingFactory());
    registry.addSearchFolder(AUDIOUNIT_TEST_MODULES);
    dispatch::MainQueue::shared().drain();

    std::vector<std::pair<std::shared_ptr<AUAudioUnit>, foundation::OSStatus>> results;
    auto record = [&](std::shared_ptr<AUAudioUnit> unit, foundation::OSStatus status) {
        results.emplace_back(std::move(unit), status);
    };
    registry.instantiateAsync(kModuleInstrument, record);
    registry.instantiateAsync({fourCC("aumu"), fourCC("none"), 0, 0, 0}, record);
    registry.instantiateAsync({fourCC("aufx"), fourCC("modF"), 0, 0, 0}, record);
    EXPECT_TRUE(results.empty()) << "completions wait for the main queue";
    dispatch::MainQueue::shared().drain();

    ASSERT_EQ(results.size(), 3U);
    ASSERT_TRUE(results[0].first);
    EXPECT_EQ(results[0].first->componentName(), "Module Maker: Module Instrument");
    EXPECT_EQ(results[0].second, foundation::noErr);
    EXPECT_EQ(results[1].first, nullptr);
    EXPECT_EQ(results[1].second, foundation::kAudio_ParamError);
    EXPECT_EQ(results[2].first, nullptr);
    EXPECT_EQ(results[2].second, foundation::kAudioUnitErr_FailedInitialization);
}
