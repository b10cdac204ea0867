#pragma once
// Records every line the library logs while an instance lives, on all five levels, from any thread.

#include <mutex>
#include <string>
#include <vector>

#include "sampler/src/sys/korvel_sys.h"

namespace korvel_test {

struct LogLine {
  int level;
  std::string text;
  bool operator==(const LogLine&) const = default;
};

class LogCapture {
 public:
  LogCapture();
  ~LogCapture();
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  std::vector<LogLine> lines() const;
  // The texts logged at one level, in order.
  std::vector<std::string> texts(int level) const;
  void clear();

 private:
  static void record(int level, const char* message, void* data);

  mutable std::mutex lock_;
  std::vector<LogLine> lines_;
  korvel_log_function_t previous_[KORVEL_LAST_LOG_LEVEL];
};

}  // namespace korvel_test
