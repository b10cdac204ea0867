#include "tests/sampler/support/korvel_log_capture.h"

#include "sampler/src/sys/korvel_log_limit.h"

namespace korvel_test {

LogCapture::LogCapture() {
  for (int level = 0; level < KORVEL_LAST_LOG_LEVEL; ++level)
    previous_[level] = korvel_set_log_function(level, &LogCapture::record, this);
  korvel_log_limits_reopen();  // lines that earlier tests sent in the same second must not silence these
}

LogCapture::~LogCapture() {
  for (int level = 0; level < KORVEL_LAST_LOG_LEVEL; ++level)
    korvel_set_log_function(level, previous_[level], nullptr);
}

std::vector<LogLine> LogCapture::lines() const {
  std::lock_guard<std::mutex> guard(lock_);
  return lines_;
}

std::vector<std::string> LogCapture::texts(int level) const {
  std::lock_guard<std::mutex> guard(lock_);
  std::vector<std::string> result;
  for (const LogLine& line : lines_)
    if (line.level == level) result.push_back(line.text);
  return result;
}

void LogCapture::clear() {
  std::lock_guard<std::mutex> guard(lock_);
  lines_.clear();
}

void LogCapture::record(int level, const char* message, void* data) {
  auto* self = static_cast<LogCapture*>(data);
  std::lock_guard<std::mutex> guard(self->lock_);
  self->lines_.push_back({level, message});
}

}  // namespace korvel_test
