#include "sampler/src/sys/korvel_sys.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/sampler/support/korvel_log_capture.h"

namespace {

using korvel_test::LogCapture;
using korvel_test::LogLine;

// The log table is configured once per process, so what happens before configuration is checked in a fresh copy of
// this program.
TEST(SysLogDeathTest, DefaultOutputAppearsOnlyAfterConfiguration) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        testing::internal::CaptureStderr();
        int before = korvel_log(KORVEL_WARN, "early %d", 1);
        std::string silent = testing::internal::GetCapturedStderr();
        korvel_sys_config();
        testing::internal::CaptureStderr();
        int results = korvel_log(KORVEL_PANIC, "p") + korvel_log(KORVEL_ERR, "e") + korvel_log(KORVEL_WARN, "w%s", "!") +
                      korvel_log(KORVEL_INFO, "i") + korvel_log(KORVEL_DBG, "d");
        std::string printed = testing::internal::GetCapturedStderr();
        const std::string expected =
            "korvelsynth: panic: p\nkorvelsynth: error: e\nkorvelsynth: warning: w!\nkorvelsynth: i\n";
        std::fprintf(stderr, "[%s][%s]", silent.c_str(), printed.c_str());
        std::exit(before == -1 && results == -5 && silent.empty() && printed == expected ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

TEST(SysLog, LevelFunctionsReceiveFormattedMessagesAndData) {
  LogCapture capture;
  EXPECT_EQ(korvel_log(KORVEL_ERR, "bank %s has %d presets", "a", 3), -1);
  EXPECT_EQ(korvel_log(KORVEL_DBG, "trace"), -1);
  EXPECT_EQ(capture.lines(), (std::vector<LogLine>{{KORVEL_ERR, "bank a has 3 presets"}, {KORVEL_DBG, "trace"}}));
  EXPECT_STREQ(korvel_error(), "trace");
}

TEST(SysLog, LongMessagesAreCutTo1023Characters) {
  LogCapture capture;
  std::string longText(3000, 'x');
  korvel_log(KORVEL_INFO, "%s", longText.c_str());
  ASSERT_EQ(capture.texts(KORVEL_INFO).size(), 1u);
  EXPECT_EQ(capture.texts(KORVEL_INFO)[0], std::string(1023, 'x'));
}

TEST(SysLog, SetLogFunctionReturnsThePreviousAndRefusesUnknownLevels) {
  static std::vector<std::string> seen;
  seen.clear();
  auto mine = [](int, const char* message, void* data) {
    seen.push_back(std::string(static_cast<const char*>(data)) + message);
  };
  static char tag[] = "tag:";
  korvel_log_function_t original = korvel_set_log_function(KORVEL_WARN, mine, tag);
  EXPECT_EQ(korvel_set_log_function(KORVEL_WARN, mine, tag), mine);
  for (int level : {-1, 5}) EXPECT_EQ(korvel_set_log_function(level, mine, nullptr), nullptr) << level;
  korvel_log(5, "nowhere");
  korvel_log(-1, "nowhere");
  korvel_log(KORVEL_WARN, "here");
  korvel_set_log_function(KORVEL_WARN, original, nullptr);
  EXPECT_EQ(seen, std::vector<std::string>{"tag:here"});
}

TEST(SysLog, MessageBufferBelongsToTheLoggingThread) {
  LogCapture capture;
  korvel_log(KORVEL_DBG, "main thread");
  std::string other;
  korvel_thread_t* thread = new_korvel_thread(
      [](void* out) {
        korvel_log(KORVEL_DBG, "worker thread");
        *static_cast<std::string*>(out) = korvel_error();
      },
      &other, 0);
  ASSERT_NE(thread, nullptr);
  EXPECT_EQ(korvel_thread_join(thread), 0);
  delete_korvel_thread(thread);
  EXPECT_EQ(other, "worker thread");
  EXPECT_STREQ(korvel_error(), "main thread");
}

class SysFiles : public testing::Test {
 protected:
  void SetUp() override {
    const char* root = std::getenv("TUNEDECK_TEST_TMP");
    folder_ = std::filesystem::path(root ? root : std::filesystem::temp_directory_path().string()) /
              ("sys_test_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::string write(const std::string& name, const std::string& bytes) {
    std::filesystem::path path = folder_ / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }

  std::filesystem::path folder_;
};

TEST_F(SysFiles, TypeChecksLookAtTheFirstFourBytes) {
  struct Case {
    const char* name;
    std::string bytes;
    int midi;
    int soundfont;
  };
  const Case cases[] = {
      {"song.mid", std::string("MThd\0\0\0\6", 8), 1, 0},
      {"bank.sf2", std::string("RIFF\4\0\0\0sfbk", 12), 0, 1},
      {"sound.wav", std::string("RIFF\4\0\0\0WAVE", 12), 0, 1},
      {"exact.mid", "MThd", 1, 0},
      {"short.sf2", "RIF", 0, 0},
      {"empty", "", 0, 0},
      {"text.txt", "hello", 0, 0},
  };
  for (const Case& c : cases) {
    std::string path = write(c.name, c.bytes);
    EXPECT_EQ(korvel_is_midifile(path.c_str()), c.midi) << c.name;
    EXPECT_EQ(korvel_is_soundfont(path.c_str()), c.soundfont) << c.name;
  }
  std::string missing = (folder_ / "missing.sf2").string();
  EXPECT_EQ(korvel_is_soundfont(missing.c_str()), 0);
  EXPECT_EQ(korvel_is_midifile(folder_.string().c_str()), 0);
}

struct CountingTimer {
  std::atomic<int> calls{0};
  int stopAfter = 0;
  std::vector<unsigned int> elapsed;

  static int tick(void* data, unsigned int msec) {
    auto* self = static_cast<CountingTimer*>(data);
    self->elapsed.push_back(msec);
    int calls = ++self->calls;
    return self->stopAfter == 0 || calls < self->stopAfter ? 1 : 0;
  }
};

TEST(SysTimer, InTheCallersThreadRunsUntilTheCallbackStops) {
  LogCapture capture;
  CountingTimer counter;
  counter.stopAfter = 3;
  korvel_timer_t* timer = new_korvel_timer(1, CountingTimer::tick, &counter, 0, 0);
  ASSERT_NE(timer, nullptr);
  EXPECT_EQ(counter.calls.load(), 3);
  ASSERT_EQ(counter.elapsed.size(), 3u);
  EXPECT_LE(counter.elapsed[0], counter.elapsed[1]);
  EXPECT_LE(counter.elapsed[1], counter.elapsed[2]);
  EXPECT_EQ(delete_korvel_timer(timer), 0);
  EXPECT_EQ(capture.texts(KORVEL_DBG),
            (std::vector<std::string>{"Timer thread finished", "Joined player thread", "Joined player thread"}));
}

TEST(SysTimer, InTheCallersThreadWithAutoDestroyReleasesItself) {
  CountingTimer counter;
  counter.stopAfter = 2;
  EXPECT_EQ(new_korvel_timer(1, CountingTimer::tick, &counter, 0, 1), nullptr);
  EXPECT_EQ(counter.calls.load(), 2);
}

TEST(SysTimer, OnItsOwnThreadEndsWhenTheCallbackStops) {
  LogCapture capture;
  CountingTimer counter;
  counter.stopAfter = 4;
  korvel_timer_t* timer = new_korvel_timer(1, CountingTimer::tick, &counter, 1, 1);
  ASSERT_NE(timer, nullptr);
  EXPECT_EQ(korvel_timer_join(timer), 0);
  EXPECT_EQ(counter.calls.load(), 4);
  EXPECT_EQ(delete_korvel_timer(timer), 0);
  std::vector<std::string> debug = capture.texts(KORVEL_DBG);
  // The creating thread reports the priority after the thread has started, so a short run may finish first.
  auto created = std::find_if(debug.begin(), debug.end(), [](const std::string& line) {
    return line == "The timer thread was created with real-time priority" ||
           line == "The timer thread does not have real-time priority";
  });
  ASSERT_NE(created, debug.end());
  EXPECT_LE(created - debug.begin(), 1);
  debug.erase(created);
  EXPECT_EQ(debug, (std::vector<std::string>{"Timer thread finished", "Joined player thread", "Joined player thread",
                                             "Joined player thread"}));
}

TEST(SysTimer, DeletionStopsARunningTimerAndJoinsItsThread) {
  CountingTimer counter;
  // A long period: deletion must wake the sleeping thread rather than wait out the period.
  korvel_timer_t* timer = new_korvel_timer(60000, CountingTimer::tick, &counter, 1, 0);
  ASSERT_NE(timer, nullptr);
  while (counter.calls.load() == 0) usleep(1000);
  EXPECT_EQ(delete_korvel_timer(timer), 0);
  EXPECT_EQ(counter.calls.load(), 1);
}

TEST(SysThread, JoinableThreadRunsItsFunction) {
  int value = 0;
  korvel_thread_t* thread = new_korvel_thread([](void* data) { *static_cast<int*>(data) = 42; }, &value, 0);
  ASSERT_NE(thread, nullptr);
  EXPECT_EQ(korvel_thread_join(thread), 0);
  EXPECT_EQ(value, 42);
  EXPECT_EQ(korvel_thread_join(thread), 0);
  EXPECT_EQ(delete_korvel_thread(thread), 0);
}

TEST(SysThread, DetachedThreadRunsAndReleasesItself) {
  std::atomic<bool> ran{false};
  korvel_thread_t* thread = new_korvel_thread(
      [](void* data) { static_cast<std::atomic<bool>*>(data)->store(true); }, &ran, 1);
  EXPECT_NE(thread, nullptr);
  while (!ran.load()) usleep(1000);
}

TEST(SysThread, MissingFunctionIsRefused) {
  LogCapture capture;
  EXPECT_EQ(new_korvel_thread(nullptr, nullptr, 0), nullptr);
  EXPECT_EQ(capture.texts(KORVEL_ERR), std::vector<std::string>{"Invalid thread function"});
}

}  // namespace
