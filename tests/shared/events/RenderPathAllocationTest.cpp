#include <cstddef>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "shared/events/AUMIDIEventListMixer.h"
#include "shared/events/AUMIDIEventListSorter.h"
#include "shared/events/AUMIDIEventListSplitter.h"
#include "shared/events/AUMIDIEventStack.h"
#include "shared/events/AUMIDIMonitor.h"
#include "tests/shared/events/EventListBuilder.h"
#include "tests/support/AllocationCounter.h"

namespace {

template <typename Work>
std::uint64_t allocationsOf(Work&& work) {
    const std::uint64_t before = testsupport::allocationsOnThisThread();
    work();
    return testsupport::allocationsOnThisThread() - before;
}

// What the render thread does with the lists, the records and the running notes allocates nothing once they exist.
TEST(RenderPathAllocation, ListsRecordsAndRunningNotesAllocateNothing) {
    AUMIDIEventListMixer mixer;
    mixer.mute(3);
    AUMIDIEventListSorter sorter;
    AUMIDIEventListSplitter splitter;
    AUMIDIEventStack stack;
    auto monitor = AUMIDIMonitor::create();
    const AUMIDIEventEx noteOn(AURenderEventMIDI, std::vector<std::uint8_t>{0x90, 60, 100}, 3, 0);
    const AUMIDIEventEx noteOff(AURenderEventMIDI, std::vector<std::uint8_t>{0x80, 60, 0}, 3, 0);

    EventListBuilder host;
    EventListBuilder file;
    for (int i = 0; i < 64; ++i) {
        const auto channel = static_cast<std::uint8_t>(i % 16);
        host.midi(64 - i, {static_cast<std::uint8_t>(0x90 | channel), 60, 100})
            .parameter(i, AURenderEventParameter, 0, 1032, 0.5f);
        file.midi(i, {static_cast<std::uint8_t>(0x80 | channel), 60, 0}).midi(i, {0xF8});
    }
    file.sysex(3, std::vector<std::uint8_t>(40, 0x11));

    std::size_t kept = 0;
    const std::uint64_t counted = allocationsOf([&] {
        for (int call = 0; call < 50; ++call) {
            for (const AURenderEvent* e = mixer.mixEvents(host.head(), file.head(), 0, 0, false); e;
                 e = e->head.next) {
                kept += stack.next().InitializeWith(e->MIDI) ? 1 : 0;
            }
            mixer.specialEvents.clear();
            kept += sorter.sortEvents(file.head(), 10) != nullptr ? 1 : 0;
            for (int instance = -1; instance < AUMIDIEventListSplitter::NUMSAMPLERS; ++instance) {
                kept += splitter.splitRealtimeEventListHead(host.head(), instance) != nullptr ? 1 : 0;
                splitter.deallocateRealtimeEventListHead(instance);
            }
            monitor->trackEvents(noteOn);
            kept += monitor->getRunningNotesCount();
            monitor->trackEvents(noteOff);
            monitor->runningNotes().forEach([&kept](auto, auto, auto, auto) { ++kept; });
            monitor->clearRunningNotes();
        }
        mixer.deallocateRealtimeEventListHead();
    });
    EXPECT_EQ(counted, 0u);
    EXPECT_GT(kept, 0u);
    EXPECT_EQ(mixer.droppedCount() + sorter.droppedCount() + splitter.droppedCount() +
                  mixer.specialEvents.droppedCount(),
              0u);
}

}  // namespace
