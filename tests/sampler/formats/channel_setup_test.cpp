// The canned channel-setup text of the flat interface, read back with Expat.
#include "sampler/src/korvelsynth.h"
#include "tests/sampler/support/sf2_fixture.h"

#include <expat.h>
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <utility>
#include <vector>

namespace {

using Attributes = std::vector<std::pair<std::string, std::string>>;

struct Element {
    std::string name;
    Attributes attributes;
};

struct Parse {
    std::vector<Element> elements;
    XML_Error error = XML_ERROR_NONE;
    long errorOffset = -1;
};

Parse parse(const std::string& text)
{
    Parse result;
    XML_Parser parser = XML_ParserCreate("UTF-8");
    XML_SetUserData(parser, &result.elements);
    XML_SetStartElementHandler(parser, [](void* data, const XML_Char* name, const XML_Char** atts) {
        Element element{name, {}};
        for (int i = 0; atts[i] != nullptr; i += 2) {
            element.attributes.emplace_back(atts[i], atts[i + 1]);
        }
        static_cast<std::vector<Element>*>(data)->push_back(std::move(element));
    });
    if (XML_Parse(parser, text.data(), static_cast<int>(text.size()), 1) == XML_STATUS_ERROR) {
        result.error = XML_GetErrorCode(parser);
        result.errorOffset = XML_GetCurrentByteIndex(parser);
    }
    XML_ParserFree(parser);
    return result;
}

std::string removed(std::string text, const std::string& part)
{
    return text.erase(text.find(part), part.size());
}

class ChannelSetup : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string folder = sf2::scratch_path("");
        const std::string bank = sf2::scratch_path("setup.sf2");
        ASSERT_TRUE(sf2::general_bank().write(bank));
        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        ASSERT_EQ(KorvelInitialize(folder.c_str(), bank.c_str(), kId), 0);
        const char* text = korvelsynth_get_channel_setup(kId);
        ::testing::internal::GetCapturedStdout();
        ::testing::internal::GetCapturedStderr();
        ASSERT_NE(text, nullptr);
        setup = text;
    }

    void TearDown() override
    {
        ::testing::internal::CaptureStdout();
        KorvelFinalize(kId);
        ::testing::internal::GetCapturedStdout();
    }

    static constexpr unsigned int kId = 31;
    std::string setup;
};

TEST_F(ChannelSetup, HasItsFixedLengthAndTheBufferSizeCountsTheTerminator)
{
    EXPECT_EQ(setup.size(), 8683u);
    EXPECT_EQ(korvelsynth_get_last_buffersize(kId), 8684);
}

TEST_F(ChannelSetup, ElementsAreSeparatedByOneTabAndValuesAreSingleQuoted)
{
    EXPECT_EQ(setup.find('\n'), std::string::npos);
    EXPECT_EQ(setup.find('"'), std::string::npos);
    EXPECT_EQ(setup.find("\t\t"), std::string::npos);
    for (std::size_t at = setup.find('<', 1); at != std::string::npos; at = setup.find('<', at + 1)) {
        EXPECT_EQ(setup[at - 1], '\t') << "before the element at byte " << at;
    }
    // Inside the controller tags no blank touches "="; everywhere else "=" stands between two blanks.
    const std::regex controller("<controller[^>]*>");
    const std::string others = std::regex_replace(setup, controller, "");
    for (auto it = std::sregex_iterator(setup.begin(), setup.end(), controller); it != std::sregex_iterator(); ++it) {
        const std::string tag = it->str();
        EXPECT_EQ(tag.find(" ="), std::string::npos) << tag;
        EXPECT_EQ(tag.find("= "), std::string::npos) << tag;
    }
    EXPECT_EQ(std::regex_replace(others, std::regex(" = '"), "").find('='), std::string::npos);
}

TEST_F(ChannelSetup, ReadsBackAsTheChannelThenStopsAtTheFirstStrayClosingTag)
{
    const Parse read = parse(setup);
    EXPECT_EQ(read.error, XML_ERROR_TAG_MISMATCH);
    // Expat points at the name of the mismatched closing tag.
    EXPECT_EQ(read.errorOffset, static_cast<long>(setup.find("</samples>") + 2));

    ASSERT_EQ(read.elements.size(), 4u + 128u + 1u);
    EXPECT_EQ(read.elements[0].name, "configuration");
    EXPECT_EQ(read.elements[1].name, "channels");
    EXPECT_EQ(read.elements[2].name, "channel");
    EXPECT_EQ(read.elements[2].attributes, (Attributes{{"id", "0"}}));
    EXPECT_EQ(read.elements[3].name, "controllers");
    for (int number = 0; number < 128; ++number) {
        const Element& controller = read.elements[4 + static_cast<std::size_t>(number)];
        const std::string digits = std::to_string(number);
        EXPECT_EQ(controller.name, "controller");
        const std::string name = (number == 0 ? "MODI" : "MIDI") + (" Controller #" + digits);
        EXPECT_EQ(controller.attributes,
                  (Attributes{{"id", digits}, {"name", name}, {"value", number == 0 ? "100" : "0"}}));
    }
    EXPECT_EQ(read.elements.back().name, "lpreset");
    EXPECT_EQ(read.elements.back().attributes, (Attributes{{"uid", "100"}, {"name", "Some Test Preset"}}));
}

TEST_F(ChannelSetup, WithoutTheStrayTagsTheWholeTextIsWellFormed)
{
    const Parse read = parse(removed(removed(setup, "</samples>\t"), "</instruments>\t"));
    ASSERT_EQ(read.error, XML_ERROR_NONE) << XML_ErrorString(read.error) << " at " << read.errorOffset;
    std::vector<Element> tail(read.elements.begin() + 4 + 128 + 1, read.elements.end());
    const std::vector<Element> expected{
        {"presets", {}},
        {"preset", {{"uid", "100"}, {"name", "Jetplane"}}},
        {"pglobal", {{"id", "0"}, {"name", ""}}},
        {"gpgenerators", {}},
        {"gpmodulators", {}},
        {"pzones", {}},
        {"pzone", {{"id", "1"}, {"name", "Jetplane/1"}, {"keylo", "0"}, {"keyhi", "128"}, {"vello", "0"},
                   {"velhi", "128"}}},
        {"pgenerators", {}},
        {"pmodulators", {}},
        {"linstrument", {{"uid", "248"}, {"name", "Jetplane"}}},
    };
    ASSERT_EQ(tail.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(tail[i].name, expected[i].name) << "element " << i;
        EXPECT_EQ(tail[i].attributes, expected[i].attributes) << tail[i].name;
    }
    EXPECT_EQ(setup.substr(setup.size() - 17), "\t</configuration>");
}

} // namespace
