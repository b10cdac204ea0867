// The live byte-stream parser: byte sequences and the messages they complete.
#include "sampler/src/midi/korvel_midi_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Parsed {
    int type;
    int channel;
    unsigned int param1;
    unsigned int param2;
    bool operator==(const Parsed&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Parsed& p)
{
    return out << "{0x" << std::hex << p.type << std::dec << ", " << p.channel << ", " << p.param1 << ", "
               << p.param2 << "}";
}

struct Case {
    const char* name;
    std::vector<unsigned char> bytes;
    std::vector<Parsed> messages;
};

class ParserCases : public ::testing::TestWithParam<Case> {};

TEST_P(ParserCases, CompleteTheirMessages)
{
    korvel_midi_parser_t* parser = new_korvel_midi_parser();
    ASSERT_NE(parser, nullptr);
    std::vector<Parsed> got;
    for (unsigned char byte : GetParam().bytes) {
        if (const korvel_midi_message_t* m = korvel_midi_parser_parse(parser, byte)) {
            got.push_back({m->type, m->channel, m->param1, m->param2});
        }
    }
    EXPECT_EQ(got, GetParam().messages);
    delete_korvel_midi_parser(parser);
}

INSTANTIATE_TEST_SUITE_P(
    MidiParser, ParserCases,
    ::testing::Values(
        Case{"running_status", {0x90, 0x3C, 0x64, 0x3E, 0x64}, {{0x90, 0, 0x3C, 0x64}, {0x90, 0, 0x3E, 0x64}}},
        Case{"one_data_byte", {0xC5, 7, 8}, {{0xC0, 5, 7, 0}, {0xC0, 5, 8, 0}}},
        Case{"pitch_bend_combined", {0xE1, 0x00, 0x40}, {{0xE0, 1, 8192, 0}}},
        Case{"real_time_inside_a_message", {0xB2, 7, 0xF8, 100}, {{0xB0, 2, 7, 100}}},
        Case{"reset", {0x90, 0x3C, 0xFF, 0x64}, {{0xFF, 0, 0, 0}}},
        Case{"system_common_clears_the_status", {0x90, 0xF6, 0x3C, 0x64}, {}},
        Case{"sysex_never_completes", {0xF0, 1, 2, 3, 4, 5, 6, 0xF7, 0x90, 1, 2}, {{0x90, 0, 1, 2}}},
        Case{"data_without_status", {0x3C, 0x64, 0x7F}, {}}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(MidiParser, MessageLengths)
{
    const std::vector<std::pair<int, int>> lengths = {{0x80, 3}, {0x9F, 3}, {0xA0, 3}, {0xB0, 3}, {0xC0, 2},
                                                      {0xD0, 2}, {0xE0, 3}, {0xF0, 0}, {0xF1, 2}, {0xF2, 3},
                                                      {0xF3, 2}, {0xF4, 2}, {0xF5, 2}, {0xF6, 1}, {0xF7, 1},
                                                      {0xFE, 1}};
    for (auto [status, length] : lengths) {
        EXPECT_EQ(korvel_midi_event_length(static_cast<unsigned char>(status)), length) << status;
    }
}

} // namespace
