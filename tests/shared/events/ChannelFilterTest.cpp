#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "shared/events/ChannelFilter.h"

namespace {

using Channels = std::vector<std::uint8_t>;

Channels passing(const ChannelFilter& filter) {
    Channels result;
    for (std::uint8_t c = 0; c < 16; ++c) {
        if (!filter.filters(c)) {
            result.push_back(c);
        }
    }
    return result;
}

const Channels kAll = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

TEST(ChannelFilter, ChangesOfThePassingList) {
    struct Case {
        const char* what;
        void (*change)(ChannelFilter&);
        Channels expectedOrder;
    };
    const Case cases[] = {
        {"new filter", [](ChannelFilter&) {}, kAll},
        {"mute all", [](ChannelFilter& f) { f.muteAll(); }, {}},
        {"solo 3", [](ChannelFilter& f) { f.solo(3); }, {3}},
        {"solo 16 is ignored", [](ChannelFilter& f) { f.solo(16); }, kAll},
        {"mute 16 is ignored", [](ChannelFilter& f) { f.mute(16); }, kAll},
        {"unmute of a passing channel", [](ChannelFilter& f) { f.unmute(5); }, kAll},
        {"mute then unmute moves to the end",
         [](ChannelFilter& f) {
             f.mute(5);
             f.unmute(5);
         },
         {0, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 5}},
        {"mute 2 and 9", [](ChannelFilter& f) { f.mute(2); f.mute(9); },
         {0, 1, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14, 15}},
        {"unmute all after mute all",
         [](ChannelFilter& f) {
             f.muteAll();
             f.unmute(7);
             f.unmuteAll();
         },
         kAll},
        {"reset after solo",
         [](ChannelFilter& f) {
             f.solo(4);
             f.reset();
         },
         kAll},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ChannelFilter filter;
        c.change(filter);
        EXPECT_EQ(filter.channels(), c.expectedOrder);
        Channels sorted = c.expectedOrder;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(passing(filter), sorted);
        EXPECT_TRUE(filter.filters(16));
    }
}

}  // namespace
