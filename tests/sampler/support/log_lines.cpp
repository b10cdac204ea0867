#include "tests/sampler/support/log_lines.h"

#include "sampler/src/korvel_sys.h"

namespace {

void collect(int level, char* message, void* data)
{
    static_cast<std::vector<LogLine>*>(data)->push_back({level, message});
}

} // namespace

KorvelLogLines::KorvelLogLines()
{
    for (int level = 0; level < 5; level++) {
        previous_[level] = korvel_set_log_function(level, collect, &lines_);
    }
}

KorvelLogLines::~KorvelLogLines()
{
    for (int level = 0; level < 5; level++) {
        korvel_set_log_function(level, previous_[level], nullptr);
    }
}

bool KorvelLogLines::has(int level, const std::string& text) const
{
    for (const LogLine& line : lines_) {
        if (line.level == level && line.text == text) {
            return true;
        }
    }
    return false;
}

bool KorvelLogLines::has(const std::string& text) const
{
    for (const LogLine& line : lines_) {
        if (line.text == text) {
            return true;
        }
    }
    return false;
}

std::string KorvelLogLines::dump() const
{
    std::string out;
    for (const LogLine& line : lines_) {
        out += std::to_string(line.level) + ": " + line.text + "\n";
    }
    return out;
}
