// The MIDI router: rules built through the shell's router commands, events routed through them to a recording
// handler, replaced rules that wait for their releases, and the dump filters.
#include "sampler/src/midi/korvel_midi_router.h"
#include "sampler/src/shell/korvel_midi_router_shell.h"
#include "sampler/src/synth/korvel_synth.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct Msg {
    int type;
    int channel;
    unsigned int param1;
    unsigned int param2;
    bool operator==(const Msg&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Msg& m)
{
    return out << "{0x" << std::hex << m.type << std::dec << ", " << m.channel << ", " << m.param1 << ", "
               << m.param2 << "}";
}

korvel_midi_message_t message(const Msg& m)
{
    korvel_midi_message_t msg{};
    msg.type = static_cast<unsigned char>(m.type);
    msg.channel = static_cast<unsigned char>(m.channel);
    msg.status = static_cast<unsigned char>(m.type < 0xF0 ? m.type | m.channel : m.type);
    msg.param1 = m.param1;
    msg.param2 = m.param2;
    return msg;
}

struct Recording {
    std::vector<Msg> messages;
    int fail_first = 0; // this many calls fail
};

int record(void* data, const korvel_midi_message_t* event)
{
    auto* recording = static_cast<Recording*>(data);
    recording->messages.push_back({event->type, event->channel, event->param1, event->param2});
    if (recording->fail_first > 0) {
        recording->fail_first--;
        return -1;
    }
    return 0;
}

using Command = std::vector<std::string>;

class Router : public ::testing::Test {
protected:
    void SetUp() override
    {
        router = new_korvel_midi_router(nullptr, &record, &recording);
        ASSERT_NE(router, nullptr);
        synth = std::make_unique<korvel_synth_t>();
        synth->midi_router = router;
        ASSERT_EQ(pipe(output), 0);
        fcntl(output[0], F_SETFL, O_NONBLOCK);
    }

    void TearDown() override
    {
        delete_korvel_midi_router(router);
        close(output[0]);
        close(output[1]);
    }

    // Runs one router command as the shell would: its name, then its arguments.
    int run(Command command)
    {
        using Handler = int (*)(void*, int, char**, int);
        const std::vector<std::pair<std::string, Handler>> handlers = {
            {"router_clear", korvel_midi_router_handle_clear}, {"router_default", korvel_midi_router_handle_default},
            {"router_begin", korvel_midi_router_handle_begin}, {"router_chan", korvel_midi_router_handle_chan},
            {"router_par1", korvel_midi_router_handle_par1},   {"router_par2", korvel_midi_router_handle_par2},
            {"router_end", korvel_midi_router_handle_end}};
        std::vector<char*> args;
        for (size_t i = 1; i < command.size(); i++) {
            args.push_back(command[i].data());
        }
        for (const auto& [name, handler] : handlers) {
            if (name == command[0]) {
                return handler(synth.get(), static_cast<int>(args.size()), args.data(), output[1]);
            }
        }
        ADD_FAILURE() << command[0];
        return -1;
    }

    std::string written()
    {
        char buffer[512];
        const ssize_t n = read(output[0], buffer, sizeof buffer);
        return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
    }

    std::vector<Msg> route(const std::vector<Msg>& in, int expected_result = 0)
    {
        recording.messages.clear();
        for (const Msg& m : in) {
            const korvel_midi_message_t msg = message(m);
            EXPECT_EQ(korvel_midi_router_handle_midi_event(router, &msg), expected_result) << m;
        }
        return recording.messages;
    }

    Recording recording;
    korvel_midi_router_t* router = nullptr;
    std::unique_ptr<korvel_synth_t> synth;
    int output[2] = {-1, -1};
};

TEST_F(Router, IdentityRulesPassEveryChannelMessage)
{
    const std::vector<Msg> in = {{0x90, 0, 60, 100}, {0x90, 1, 60, 0}, {0x80, 2, 61, 5}, {0xA0, 3, 60, 7},
                                 {0xB0, 4, 7, 90},   {0xC0, 5, 9, 0},  {0xD0, 6, 50, 0}, {0xE0, 7, 9000, 0},
                                 {0xF0, 0, 240, 0},  {0xFF, 0, 0, 0}};
    const std::vector<Msg> out = {{0x90, 0, 60, 100}, {0x80, 1, 60, 127}, {0x80, 2, 61, 5}, {0xA0, 3, 60, 7},
                                  {0xB0, 4, 7, 90},   {0xC0, 5, 9, 0},    {0xD0, 6, 50, 0}, {0xE0, 7, 9000, 0},
                                  {0xFF, 0, 0, 0}};
    EXPECT_EQ(route(in), out);
}

struct RuleCase {
    const char* name;
    std::vector<Command> rules;
    std::vector<Msg> in;
    std::vector<Msg> out;
};

std::ostream& operator<<(std::ostream& out, const RuleCase& c)
{
    return out << c.name;
}

class RouterRules : public Router, public ::testing::WithParamInterface<RuleCase> {};

TEST_P(RouterRules, TransformWhatMatches)
{
    ASSERT_EQ(run({"router_clear"}), 0);
    for (const Command& command : GetParam().rules) {
        ASSERT_EQ(run(command), 0) << command[0];
    }
    EXPECT_EQ(route(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Router, RouterRules,
    ::testing::Values(
        RuleCase{"wrapped_channel_range",
                 {{"router_begin", "note"}, {"router_chan", "10", "5", "1", "0"}, {"router_end"}},
                 {{0x90, 0, 60, 1}, {0x90, 5, 60, 1}, {0x90, 6, 60, 1}, {0x90, 9, 60, 1}, {0x90, 10, 60, 1},
                  {0x90, 15, 60, 1}},
                 {{0x90, 0, 60, 1}, {0x90, 5, 60, 1}, {0x90, 10, 60, 1}, {0x90, 15, 60, 1}}},
        RuleCase{"pitch_bend_doubled",
                 {{"router_begin", "pbend"}, {"router_par1", "0", "16383", "2", "0"}, {"router_end"}},
                 {{0xE0, 0, 100, 0}, {0xE0, 0, 8192, 0}, {0xE0, 0, 16383, 0}},
                 {{0xE0, 0, 200, 0}, {0xE0, 0, 16383, 0}, {0xE0, 0, 16383, 0}}},
        RuleCase{"channel_shifted_down",
                 {{"router_begin", "note"}, {"router_chan", "0", "15", "1", "-5"}, {"router_end"}},
                 {{0x90, 3, 60, 1}, {0x90, 8, 60, 1}},
                 {{0x90, 0, 60, 1}, {0x90, 3, 60, 1}}},
        RuleCase{"transposed_up_to_the_top_key",
                 {{"router_begin", "note"}, {"router_par1", "0", "127", "1", "12"}, {"router_end"}},
                 {{0x90, 0, 60, 1}, {0x90, 0, 120, 1}},
                 {{0x90, 0, 72, 1}, {0x90, 0, 127, 1}}},
        RuleCase{"velocity_range_tests_note_ons_only",
                 {{"router_begin", "note"}, {"router_par2", "0", "63", "1", "0"}, {"router_end"}},
                 {{0x90, 0, 60, 30}, {0x90, 0, 61, 64}, {0x80, 0, 60, 100}},
                 {{0x90, 0, 60, 30}, {0x80, 0, 60, 100}}},
        RuleCase{"two_rules_split_the_keyboard",
                 {{"router_begin", "note"}, {"router_par1", "0", "59", "1", "0"}, {"router_chan", "0", "0", "1", "1"},
                  {"router_end"}, {"router_begin", "note"}, {"router_par1", "60", "127", "1", "0"},
                  {"router_chan", "0", "0", "1", "2"}, {"router_end"}},
                 {{0x90, 0, 40, 1}, {0x90, 0, 80, 1}, {0x90, 1, 80, 1}},
                 {{0x90, 1, 40, 1}, {0x90, 2, 80, 1}}},
        RuleCase{"controllers_scaled_and_limited",
                 {{"router_begin", "cc"}, {"router_par2", "0", "127", "2", "0"}, {"router_end"}},
                 {{0xB0, 0, 7, 50}, {0xB0, 0, 7, 100}},
                 {{0xB0, 0, 7, 100}, {0xB0, 0, 7, 127}}},
        RuleCase{"cleared_router_drops_everything",
                 {},
                 {{0x90, 0, 60, 1}, {0xB0, 0, 7, 1}, {0xE0, 0, 1, 0}},
                 {}}),
    [](const ::testing::TestParamInfo<RuleCase>& info) { return std::string(info.param.name); });

TEST_F(Router, ClearedRulesStillReleaseWhatTheyLetThrough)
{
    EXPECT_EQ(route({{0x90, 0, 60, 100}, {0xB0, 0, 64, 127}}).size(), 2u);
    ASSERT_EQ(run({"router_clear"}), 0);
    ASSERT_NE(router->rules[KORVEL_MIDI_ROUTER_RULE_NOTE], nullptr);
    EXPECT_EQ(router->rules[KORVEL_MIDI_ROUTER_RULE_PROG], nullptr);

    const std::vector<Msg> out = {{0x80, 0, 60, 64}, {0xB0, 0, 64, 0}};
    EXPECT_EQ(route({{0x90, 0, 62, 100}, {0x80, 0, 60, 64}, {0x80, 0, 62, 64}, {0xB0, 0, 64, 0}}), out);
    korvel_midi_router_free_unused_rules(router);
    EXPECT_EQ(router->rules[KORVEL_MIDI_ROUTER_RULE_NOTE], nullptr);
    EXPECT_EQ(router->rules[KORVEL_MIDI_ROUTER_RULE_CC], nullptr);

    ASSERT_EQ(run({"router_default"}), 0);
    EXPECT_EQ(route({{0x90, 0, 62, 100}}).size(), 1u);
}

TEST_F(Router, AFailingHandlerFailsTheEventButEveryRuleStillSends)
{
    ASSERT_EQ(run({"router_begin", "note"}), 0);
    ASSERT_EQ(run({"router_end"}), 0);
    recording.fail_first = 1;
    EXPECT_EQ(route({{0x90, 0, 60, 100}}, -1).size(), 2u);
}

TEST_F(Router, CommandsRefuseWrongArguments)
{
    struct Refusal {
        Command command;
        std::string message;
    };
    const std::vector<Refusal> refusals = {
        {{"router_clear", "x"}, "router_clear needs no arguments.\n"},
        {{"router_default", "x"}, "router_default needs no arguments.\n"},
        {{"router_begin", "notes"}, "router_begin args: note, cc, prog, pbend, cpress, kpress\n"},
        {{"router_begin"}, ""},
        {{"router_chan", "1", "2", "3"}, "router_chan needs four args: min, max, mul, add."},
        {{"router_par1"}, "router_par1 needs four args: min, max, mul, add."},
        {{"router_par2", "1", "2", "3", "4", "5"}, "router_par2 needs four args: min, max, mul, add."},
        {{"router_end", "x"}, "router_end needs no arguments."},
    };
    for (const Refusal& r : refusals) {
        EXPECT_EQ(run(r.command), -1) << r.command[0];
        EXPECT_EQ(written(), r.message) << r.command[0];
    }
    EXPECT_EQ(korvel_midi_router_begin(router, nullptr), -1);
}

TEST_F(Router, EndWithoutBeginAddsNothing)
{
    EXPECT_EQ(run({"router_end"}), -1);
    EXPECT_EQ(route({{0x90, 0, 60, 100}}).size(), 1u);
}

TEST_F(Router, DumpFiltersPrintAndPassOn)
{
    const korvel_midi_message_t note = message({0x90, 1, 60, 100});
    const korvel_midi_message_t bend = message({0xE0, 2, 8192, 0});
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(korvel_midi_dump_prerouter(router, &note), 0);
    EXPECT_EQ(korvel_midi_dump_prerouter(router, &bend), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "event_pre_noteon 1 60 100\nevent_pre_pitch 2 8192\n");
    EXPECT_EQ(recording.messages.size(), 2u);

    korvel_settings_t* settings = new_korvel_settings();
    ::testing::internal::CaptureStdout();
    korvel_synth_t* real = new_korvel_synth(settings);
    ::testing::internal::GetCapturedStdout();
    ASSERT_NE(real, nullptr);
    const korvel_midi_message_t prog = message({0xC0, 3, 5, 0});
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(korvel_midi_dump_postrouter(real, &prog), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "event_post_prog 3 5\n");
    unsigned int sfont = 0, bank = 0, program = 0;
    ASSERT_EQ(korvel_synth_get_program(real, 3, &sfont, &bank, &program), 0);
    EXPECT_EQ(program, 5u);
    ::testing::internal::CaptureStdout();
    delete_korvel_synth(real);
    ::testing::internal::GetCapturedStdout();
    delete_korvel_settings(settings);
}

} // namespace
