#include "Orvo_Tunedeck/app/ProgressLine.h"

#include <utility>

#include "Orvo_Tunedeck/app/ProgramMessages.h"

namespace {

constexpr std::chrono::seconds kQuietTime{1};
constexpr std::chrono::milliseconds kRewriteInterval{100};
// Carriage return, then the terminal's "erase to the end of the line".
constexpr const char* kWipe = "\r\033[K";

}  // namespace

ProgressLine::ProgressLine(std::string label, std::FILE* out, bool shown, Clock clock)
    : label_(std::move(label)), out_(out), shown_(shown), clock_(std::move(clock)), started_(clock_()) {}

ProgressLine::~ProgressLine() { clear(); }

void ProgressLine::update(double doneSeconds, double totalSeconds) {
    if (!shown_) return;
    const auto now = clock_();
    if (now - started_ <= kQuietTime || (written_ && now - lastWritten_ < kRewriteInterval)) return;
    const int percent = static_cast<int>(100.0 * doneSeconds / totalSeconds);
    std::fprintf(out_, "%s%s: %s %d%% (%.1f of %.1f s)", kWipe, kProgramName, label_.c_str(), percent, doneSeconds,
                 totalSeconds);
    std::fflush(out_);
    lastWritten_ = now;
    written_ = true;
}

void ProgressLine::clear() {
    if (!written_) return;
    std::fputs(kWipe, out_);
    std::fflush(out_);
    written_ = false;
}
