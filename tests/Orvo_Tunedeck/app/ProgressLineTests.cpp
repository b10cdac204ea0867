// The progress line of a long render, on a manual clock: quiet for the first second, then rewritten in place at
// most ten times a second, wiped at the end; never written when not asked for.

#include "Orvo_Tunedeck/app/ProgressLine.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

using namespace std::chrono_literals;

class ProgressLineTest : public ::testing::Test {
protected:
    ProgressLineTest() : out(std::tmpfile()) {}
    ~ProgressLineTest() override { std::fclose(out); }

    ProgressLine::Clock clock() {
        return [this] { return std::chrono::steady_clock::time_point(now); };
    }
    std::string written() {
        std::fflush(out);
        std::string text(static_cast<size_t>(std::ftell(out)), '\0');
        std::rewind(out);
        text.resize(std::fread(text.data(), 1, text.size(), out));
        return text;
    }

    std::FILE* out;
    std::chrono::nanoseconds now{5s};
};

TEST_F(ProgressLineTest, AppearsAfterASecondIsRewrittenInPlaceAndWipedAtTheEnd) {
    {
        ProgressLine line("rendering 'song.mid'", out, true, clock());
        line.update(1.0, 40.0);
        now += 1s;
        line.update(2.0, 40.0);
        EXPECT_EQ(written(), "") << "a render of a second or less shows nothing";
        now += 1ms;
        line.update(10.0, 40.0);
        now += 50ms;
        line.update(11.0, 40.0);
        now += 50ms;
        line.update(30.0, 40.0);
    }
    EXPECT_EQ(written(), "\r\033[KOrvo-Tunedeck2: rendering 'song.mid' 25% (10.0 of 40.0 s)"
                         "\r\033[KOrvo-Tunedeck2: rendering 'song.mid' 75% (30.0 of 40.0 s)"
                         "\r\033[K");
}

TEST_F(ProgressLineTest, WritesNothingWhenNotShownAndWipesOnlyWhatItWrote) {
    {
        ProgressLine hidden("rendering", out, false, clock());
        now += 5s;
        hidden.update(1.0, 2.0);
        ProgressLine quick("rendering", out, true, clock());
        quick.update(1.0, 2.0);
    }
    EXPECT_EQ(written(), "");
}

}  // namespace
